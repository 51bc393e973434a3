#pragma once

#include "journal/RunJournal.h"
#include "query/RunBoard.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringList>
#include <QTextBlock>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QPlainTextEdit;

namespace ds {

class Form1;

// The run's state as the window's own controls: the list is Text4, the result
// boxes Text1 and Text2, the counters Label3, the caption Command1's and the
// pause flag Check1. Entries are read block by block and lines appended at the
// end, so a step costs the same on a list of a thousand lines or a million.
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
    // journal first.
    void beginRun(const RunJournal::Records& kept = {});
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
    // tooltip; empty for a line no record wrote.
    QString lineTip(const QTextBlock& line) const;
    // The answer kept for a result line, without the entry and verdict its
    // text gives; nullopt for a line no record wrote.
    std::optional<Answer> answerOf(const QTextBlock& line) const;

    // A result line whose record is a failure: the number of its entry in the
    // list, the index of its facts (its block's user state) and the line.
    struct FailedLine {
        qsizetype entry = 0;
        int facts = -1;
        QTextBlock line;
    };
    // The failures Text2 shows, top to bottom, each entry once.
    std::vector<FailedLine> failedLines() const;
    // Writes `record` of list entry `entry` in place of the result line
    // `old`, in the box it belongs in, and to the journal. An invalid `old`
    // (the line was deleted) puts it at the end of its box.
    void replaceResult(const QTextBlock& old, qsizetype entry, const LookupRecord& record);

private:
    // What a result line's tooltip tells, with its texts kept once each: a
    // million lines share a handful of servers and reasons.
    struct LineFacts {
        Method method = Method::Registrar;
        Verdict verdict = Verdict::Failed;
        qsizetype entry = 0;
        int httpStatus = 0;
        int server = 0;
        int detail = 0;
        // Into m_details; -1 when the reply gave none.
        int details = -1;
    };
    // A reply's details, their texts kept once each as well.
    struct LineDetails {
        int registrar = 0;
        int registrarIanaId = 0;
        int status = 0;
        QDate created;
        QDate expires;
        QDate lastChanged;
        QDate releases;
    };

    // The facts of a new result line; their index.
    int noteFacts(qsizetype entry, const LookupRecord& record);
    void appendResult(qsizetype entry, const LookupRecord& record);
    void keepRecord(qsizetype entry, const LookupRecord& record);
    void startJournal(const QStringList& entries, const RunJournal::Records& records);
    void checkJournal();
    void tellOnce(bool& told, const QString& text);
    static QStringList detailsTip(const Details& details);
    int textIndex(const QString& text);
    static void appendLine(QPlainTextEdit* box, const QString& line, int facts);
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
    std::vector<LineFacts> m_lineFacts;
    std::vector<LineDetails> m_details;
    QStringList m_texts;
    QHash<QString, int> m_textIndex;
};

} // namespace ds
