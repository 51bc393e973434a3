#pragma once

#include "app/ResultFacts.h"
#include "journal/RunJournal.h"
#include "query/RunBoard.h"

#include <QCoreApplication>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;

namespace ds {

class Form1;
class LineBox;

// The run's state as the window's own controls: the list is Text4, the result
// boxes Text1 and Text2, the counters Label3, the caption Command1's and the
// pause flag Check1. Entries are read block by block and lines appended at the
// end, so a step costs the same on a list of a thousand lines or a million.
// Each result line carries the number of its facts (ResultFacts).
// With a journal folder, every run is also written to its journal. What the
// person should hear about a run (no journal, a failing proxy) goes to the
// notice, once per run each.
class FormRunBoard final : public RunBoard {
    Q_DECLARE_TR_FUNCTIONS(FormRunBoard)

public:
    // An empty folder keeps no journal.
    FormRunBoard(Form1& form, const QString& journalFolder);

    qsizetype entryCount() const override;
    QString entryAt(qsizetype number) const override;
    qsizetype lineCount() const override;

    void appendRecord(qsizetype number, const LookupRecord& record) override;
    void clearResults() override;

    void setTotal(qsizetype total) override;
    void setDone(qsizetype done) override;
    void setRunState(RunState state) override;
    void setPaused(bool paused) override;

    // A fresh run over the whole list is about to start. Records `kept` from
    // the last run (when only its failures are asked again) go into the new
    // journal first. `listText` is Text4's raw text when the caller has it.
    void beginRun(const RunJournal::Records& kept = {}, QString listText = {});
    // The run ended or was stopped: its journal is complete.
    void endRun();
    // Puts a journal's list and records back into the controls; the next run
    // goes on over the entries not yet answered, keeping what is shown.
    void restore(const RunJournal::Contents& contents);

    RunJournal* journal() const { return m_journal.get(); }
    // Gets the texts to tell; called as records arrive, so it should not
    // open a box there and then.
    void setNotice(std::function<void(const QString&)> notice) { m_notice = std::move(notice); }

    // How the answer on a result line was had (method, server, HTTP status,
    // reason) and, for a taken name, its registrar, dates and status, for its
    // tooltip; empty for a line no record wrote. `facts` is the line's tag.
    QString lineTip(int facts) const { return m_facts.tip(facts); }
    // The answer kept for a result line, without the entry and verdict its
    // text gives; nullopt for a line no record wrote.
    std::optional<Answer> answerOf(int facts) const { return m_facts.answer(facts); }

    // A result line whose record is a failure: the number of its entry in the
    // list, its facts (the line's tag) and where it was in Text2 when found.
    struct FailedLine {
        qsizetype entry = 0;
        int facts = -1;
        qsizetype line = 0;
    };
    // The failures Text2 shows, top to bottom, each entry once.
    std::vector<FailedLine> failedLines() const;
    // Writes the record of the failed line's entry in place of that line, in
    // the box it belongs in, and to the journal. A line no longer there (the
    // box was cleared) has it put at the end of its box.
    void replaceResult(const FailedLine& old, const LookupRecord& record);

private:
    void appendResult(qsizetype entry, const LookupRecord& record);
    void keepRecord(qsizetype entry, const LookupRecord& record);
    // `begin` starts m_journal; what went wrong is told.
    void startJournal(const std::function<bool()>& begin);
    void checkJournal();
    void tellOnce(bool& told, const QString& text);
    LineBox* boxFor(Verdict verdict) const;
    static void showNumber(QLabel* label, qsizetype number);
    qsizetype listNumber(qsizetype number) const;
    bool continuing() const { return m_answered >= 0; }

    Form1& m_form;
    std::unique_ptr<RunJournal> m_journal;
    // While a restored run goes on: the list numbers of the entries still to
    // ask, which the engine sees as its list, and how many were answered.
    std::vector<qsizetype> m_pending;
    qsizetype m_answered = -1;
    std::function<void(const QString&)> m_notice;
    bool m_toldJournal = false;
    bool m_toldProxy = false;
    ResultFacts m_facts;
};

} // namespace ds
