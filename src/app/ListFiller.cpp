#include "app/ListFiller.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

constexpr int ProgressSteps = 1000;
constexpr int ShowProgressAfterMs = 1000;

} // namespace

ListFiller::ListFiller(QPlainTextEdit* box, NameGenerator generator, bool append, QWidget* parent)
    : QObject(parent)
    , m_box(box)
    , m_generator(std::move(generator))
    , m_append(append)
    , m_parent(parent) {}

ListFiller::~ListFiller() {
    delete m_progress;
}

void ListFiller::start() {
    m_running = true;
    // Every slice would be one undo step: a history of a million names
    // costs more than the names.
    m_undoWasEnabled = m_box->isUndoRedoEnabled();
    m_box->setUndoRedoEnabled(false);
    if (m_append) {
        const QString text = m_box->toPlainText();
        m_appendedFrom = m_box->document()->characterCount() - 1;
        m_needsBreak = !text.isEmpty() && !text.endsWith(u'\n');
    } else {
        m_previous = m_box->toPlainText();
        m_box->clear();
    }
    m_progress = new QProgressDialog(tr("正在生成域名……"), tr("取消"), 0, ProgressSteps, m_parent);
    m_progress->setObjectName(u"generateProgress"_s);
    m_progress->setWindowTitle(tr("生成"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(ShowProgressAfterMs);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, this, &ListFiller::cancel);
    QTimer::singleShot(0, this, &ListFiller::fillSlice);
}

void ListFiller::fillSlice() {
    if (!m_running)
        return;
    QElapsedTimer clock;
    clock.start();
    QString chunk;
    QString name;
    bool more = true;
    for (int n = 0; n < m_sliceNames && (more = m_generator.next(name)); ++n) {
        if (m_needsBreak)
            chunk += u'\n';
        chunk += name;
        m_needsBreak = true;
        ++m_made;
    }
    QTextCursor cursor(m_box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(chunk);
    // Putting names into the box costs far more than making them: the next
    // slice is sized by what this one cost, both together.
    const qint64 spentMs = std::max<qint64>(clock.elapsed(), 1);
    m_sliceNames = int(std::clamp<qint64>(qint64(m_sliceNames) * kSliceMs / spentMs, kSmallestSlice,
                                          kLargestSlice));
    if (!more) {
        end(true);
        return;
    }
    const quint64 total = std::max<quint64>(m_generator.count().value, 1);
    m_progress->setValue(int(std::min<quint64>(m_made * ProgressSteps / total, ProgressSteps - 1)));
    QTimer::singleShot(0, this, &ListFiller::fillSlice);
}

void ListFiller::cancel() {
    if (!m_running)
        return;
    if (m_append) {
        QTextCursor cursor(m_box->document());
        cursor.setPosition(m_appendedFrom);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    } else {
        m_box->setPlainText(m_previous);
    }
    end(false);
}

void ListFiller::end(bool completed) {
    m_running = false;
    m_previous.clear();
    m_box->setUndoRedoEnabled(m_undoWasEnabled);
    if (m_progress) {
        m_progress->disconnect(this);
        m_progress->deleteLater();
    }
    emit finished(completed);
}

} // namespace ds
