#include "app/FormRunBoard.h"

#include "app/Form1.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace ds {

FormRunBoard::FormRunBoard(Form1& form)
    : m_form(form) {}

qsizetype FormRunBoard::entryCount() const {
    return m_form.Text4()->document()->blockCount();
}

QString FormRunBoard::entryAt(qsizetype number) const {
    return m_form.Text4()->document()->findBlockByNumber(int(number)).text();
}

void FormRunBoard::appendFree(const QString& line) {
    appendLine(m_form.Text1(), line);
}

void FormRunBoard::appendTaken(const QString& line) {
    appendLine(m_form.Text2(), line);
}

void FormRunBoard::clearResults() {
    m_form.Text1()->clear();
    m_form.Text2()->clear();
}

void FormRunBoard::setTotal(qsizetype total) {
    showNumber(m_form.Label3(0), total);
}

void FormRunBoard::setDone(qsizetype done) {
    showNumber(m_form.Label3(1), done);
}

void FormRunBoard::setCaption(const QString& caption) {
    m_form.Command1()->setText(caption);
}

void FormRunBoard::setPauseFlag(bool held) {
    m_form.Check1()->setChecked(held);
}

void FormRunBoard::appendLine(QPlainTextEdit* box, const QString& line) {
    // Inserting at the end touches only the last block; rewriting the box's
    // whole text would cost time in proportion to what it already holds.
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    if (!cursor.block().text().isEmpty()) {
        // Someone typed a last line without a line break: keep lines apart.
        cursor.insertText(QStringLiteral("\n"));
    }
    cursor.insertText(line + u'\n');
}

void FormRunBoard::showNumber(QLabel* label, qsizetype number) {
    label->setText(QString::number(number));
    label->adjustSize(); // a counter grows to the right as its number gets longer
}

} // namespace ds
