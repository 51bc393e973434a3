#include "batch/BatchRun.h"

#include "batch/ProgressLine.h"
#include "batch/StreamRunBoard.h"
#include "config/Settings.h"
#include "http/HttpRequest.h"
#include "platform/ConsoleText.h"
#include "platform/Keyring.h"
#include "platform/OutputSignals.h"
#include "query/QueryEngine.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

constexpr int ProgressIntervalMs = 100;
constexpr int AbandonGraceMs = 50;

void tell(const QString& message) {
    platform::writeText(stderr, u"domainsieve check: "_s + message + u'\n');
}

} // namespace

int runBatch(const QStringList& arguments) {
    letFailedWritesReturnErrors();
    const BatchCommandLine line = parseBatchCommandLine(arguments);
    switch (line.status) {
    case BatchCommandLine::Status::ShowHelp:
    case BatchCommandLine::Status::ShowVersion:
        platform::writeText(stdout, line.message);
        return 0;
    case BatchCommandLine::Status::Fail:
        tell(line.message + u"\n(domainsieve check --help lists the options)"_s);
        return 2;
    case BatchCommandLine::Status::Run:
        break;
    }
    const std::unique_ptr<Keyring> keyring = systemKeyring();
    Settings settings;
    settings.useKeyring(keyring.get());
    settings.movePasswordToKeyring();
    const AppConfig config = resolveConfig(settings, line.options.common);
    BatchRun run(line.options, config);
    QString error;
    if (!run.prepare(error)) {
        tell(error);
        return 2;
    }
    return run.exec();
}

BatchRun::BatchRun(BatchOptions options, const AppConfig& config)
    : m_options(std::move(options))
    , m_engineConfig(engineConfig(config))
    , m_reader(m_options.inputs)
    , m_writer(m_options.format, m_options.only) {
    m_progressTimer.setInterval(ProgressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &BatchRun::drawProgress);
    connect(&m_stopSignals, &StopSignals::stopRequested, this, &BatchRun::interrupt);
}

BatchRun::~BatchRun() = default;

bool BatchRun::prepare(QString& error) {
    if (m_options.resume &&
        !ResumeIndex::load(m_options.outputFile, m_options.format, m_resume, error))
        return false;
    if (m_options.retryFailed) {
        m_retry = std::make_unique<RetryFile>(m_options.outputFile, m_options.format);
        if (!m_retry->load(error))
            return false;
        m_reader.useNames(m_retry->names());
    }
    if (!m_reader.open(error))
        return false;
    if (m_reader.canRewind() && !countNames(error))
        return false;
    // The retried file is only ever replaced whole, at the end.
    if (m_retry)
        return true;
    if (!m_writer.open(m_options.outputFile, m_options.resume, error))
        return false;
    // The header row could not be written: no request is worth making.
    if (!m_writer.healthy())
        error = u"cannot write %1: %2"_s.arg(m_writer.target(), m_writer.errorText());
    return m_writer.healthy();
}

bool BatchRun::countNames(QString& error) {
    // The same skipping as the run's own, so that the total is what will be asked.
    NameSet seen;
    qsizetype count = 0;
    while (const std::optional<QString> name = m_reader.next()) {
        if (!m_resume.answered.contains(*name) && seen.insert(*name))
            ++count;
    }
    if (!m_reader.errorText().isEmpty()) {
        error = m_reader.errorText();
        return false;
    }
    m_reader.rewind();
    m_total = count;
    return true;
}

int BatchRun::exec() {
    if (m_retry && m_retry->names().isEmpty()) {
        if (!m_options.quiet)
            tell(u"%1 holds no failed record: nothing to ask again"_s.arg(m_options.outputFile));
        return 0;
    }
    RecordSink& sink = m_retry ? static_cast<RecordSink&>(*m_retry) : m_writer;
    m_board = std::make_unique<StreamRunBoard>(m_reader, sink, m_engineConfig.workers,
                                               m_options.resume ? &m_resume.answered : nullptr);
    m_board->onOutputBroken([this] { outputBroken(); });
    m_board->onProxyFailed([this](const QString& detail) {
        clearProgress();
        tell(u"%1 (names asked through the proxy are listed as failed)"_s.arg(detail));
    });
    m_engine = std::make_unique<QueryEngine>(*m_board, m_engineConfig);
    // Queued: a run over nothing ends inside start(), before the loop runs.
    connect(
        m_engine.get(), &QueryEngine::runEnded, this, [this] { finish(false); },
        Qt::QueuedConnection);
    connect(m_engine.get(), &QueryEngine::problem, this, [this](const QString& message) {
        tell(message);
        m_troubled = true;
        interrupt();
    });
    connect(m_engine.get(), &QueryEngine::dnsUnanswered, this,
            [] { tell(u"the DNS resolver answers no query: every name goes to its registry"_s); });
    connect(m_engine.get(), &QueryEngine::registriesUnreachable, this, [] {
        tell(u"the registries' RDAP servers cannot be reached: check the network; "
             u"names that get no answer are listed as failed"_s);
    });
    m_drawsProgress = !m_options.quiet && platform::redrawsLines(stderr);
    if (m_drawsProgress)
        m_progressTimer.start();
    if (m_resume.droppedCutOffRecord && !m_options.quiet)
        tell(u"the last record of %1 was cut off; it is asked again"_s.arg(m_options.outputFile));
    m_clock.start();
    m_engine->start();
    const int code = QCoreApplication::exec();
    // Abandoned requests leave their replies to a deletion the loop no longer runs.
    m_engine.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    releaseThreadNetwork();
    return code;
}

void BatchRun::drawProgress() {
    const std::optional<qsizetype> total =
        m_total ? m_total
                : (m_board->inputEnded() ? std::optional(m_board->lineCount()) : std::nullopt);
    const QString line = ProgressLine::text(m_board->tally(), total, m_clock.elapsed()) +
                         ProgressLine::busiest(m_engine->busiestServers(2)) +
                         ProgressLine::holds(m_engine->holds());
    platform::writeText(stderr, u'\r' + line + u"\033[K"_s);
}

// The run stops at once: records nobody can read are not worth a request.
void BatchRun::outputBroken() {
    m_outputBrokenTold = true;
    m_troubled = true;
    clearProgress();
    tell(u"cannot write %1: %2; the run stops"_s.arg(m_writer.target(), m_writer.errorText()));
    // Later, on its own turn: the engine is in the middle of handing over a record.
    QMetaObject::invokeMethod(this, &BatchRun::interrupt, Qt::QueuedConnection);
}

void BatchRun::clearProgress() {
    if (m_drawsProgress)
        std::fputs("\r\033[K", stderr);
}

void BatchRun::interrupt() {
    if (m_finished)
        return;
    m_engine->stop();
    // A moment for the network thread to let go of the abandoned request.
    QTimer::singleShot(AbandonGraceMs, this, [this] { finish(true); });
}

void BatchRun::finish(bool interrupted) {
    if (m_finished)
        return;
    m_finished = true;
    m_progressTimer.stop();
    clearProgress();
    const BatchTally& tally = m_board->tally();
    if (!m_options.quiet)
        platform::writeText(stderr,
                            ProgressLine::summary(tally, m_clock.elapsed(), interrupted) + u'\n');
    int code = tally.failed > 0 || m_troubled ? 1 : 0;
    if (!m_reader.errorText().isEmpty()) {
        tell(m_reader.errorText());
        code = 2;
    }
    if (!m_writer.healthy()) {
        if (!m_outputBrokenTold)
            tell(u"cannot write %1: %2"_s.arg(m_writer.target(), m_writer.errorText()));
        code = 2;
    }
    // A file left as it was is no interruption's doing.
    if (m_retry && !rewriteRetried())
        code = 2;
    else if (interrupted && !m_troubled)
        code = 130;
    QCoreApplication::exit(code);
}

// Also after an interruption: the names answered so far are not asked again
// next time, and the file is whole either way.
bool BatchRun::rewriteRetried() {
    QString error;
    if (!m_retry->rewrite(error)) {
        tell(error);
        return false;
    }
    if (!m_options.quiet)
        tell(m_retry->rewriteSummary());
    return true;
}

} // namespace ds
