#pragma once

#include "query/RunBoard.h"

class QLabel;
class QPlainTextEdit;

namespace ds {

class Form1;

// The run's state as the window's own controls: the list is Text4, the result
// boxes Text1 and Text2, the counters Label3, the caption Command1's and the
// pause flag Check1. Entries are read block by block and lines appended at the
// end, so a step costs the same on a list of a thousand lines or a million.
class FormRunBoard final : public RunBoard {
public:
    explicit FormRunBoard(Form1& form);

    qsizetype entryCount() const override;
    QString entryAt(qsizetype number) const override;

    void appendFree(const QString& line) override;
    void appendTaken(const QString& line) override;
    void clearResults() override;

    void setTotal(qsizetype total) override;
    void setDone(qsizetype done) override;
    void setCaption(const QString& caption) override;
    void setPauseFlag(bool held) override;

private:
    static void appendLine(QPlainTextEdit* box, const QString& line);
    static void showNumber(QLabel* label, qsizetype number);

    Form1& m_form;
};

} // namespace ds
