#pragma once

#include "batch/EntryReader.h"
#include "batch/RecordWriter.h"
#include "batch/ResumeIndex.h"
#include "batch/RetryFile.h"
#include "batch/StopSignals.h"
#include "config/BatchOptions.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

namespace ds {

class QueryEngine;
class StreamRunBoard;

// `domainsieve check ...` inside an existing QCoreApplication: parses the
// arguments, runs the engine over the input and returns the exit code (0 every
// name got a verdict, 1 some failed, 2 a usage or input error, 130 stopped by
// SIGINT or SIGTERM). Records go to standard output or --output, everything
// else to standard error.
int runBatch(const QStringList& arguments);

// One batch run, from its opened streams to its summary.
class BatchRun final : public QObject {
    Q_OBJECT
public:
    BatchRun(BatchOptions options, const AppConfig& config);
    ~BatchRun() override;

    // Reads what --resume or --retry-failed needs, opens the output and the
    // inputs and counts the names when the inputs allow; false with a
    // one-line reason.
    bool prepare(QString& error);
    // Runs the event loop until the run ends; the exit code.
    int exec();

private:
    bool countNames(QString& error);
    // --retry-failed: the file is written anew with what the run found.
    bool rewriteRetried();
    void drawProgress();
    void interrupt();
    void outputBroken();
    void clearProgress();
    void finish(bool interrupted);

    BatchOptions m_options;
    EngineConfig m_engineConfig;
    ResumeIndex m_resume;
    EntryReader m_reader;
    RecordWriter m_writer;
    std::unique_ptr<RetryFile> m_retry;
    std::unique_ptr<StreamRunBoard> m_board;
    std::unique_ptr<QueryEngine> m_engine;
    StopSignals m_stopSignals;
    QTimer m_progressTimer;
    QElapsedTimer m_clock;
    std::optional<qsizetype> m_total;
    bool m_drawsProgress = false;
    bool m_finished = false;
    bool m_troubled = false;
    bool m_outputBrokenTold = false;
};

} // namespace ds
