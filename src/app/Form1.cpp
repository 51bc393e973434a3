#include "app/Form1.h"

#include "app/FailedRetry.h"
#include "app/HoldNotice.h"
#include "app/LineBox.h"
#include "app/LinkLabel.h"
#include "app/ListText.h"
#include "app/MessageBoxes.h"
#include "app/Product.h"
#include "app/SettingsDialog.h"
#include "config/LookupOptions.h"
#include "config/Settings.h"
#include "query/DomainList.h"
#include "query/QueryEngine.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// Writes the text as one undoable edit and keeps the caret and the scroll
// position where they were, as far as the new text allows.
void replaceText(QPlainTextEdit* box, const QString& text) {
    const int caret = box->textCursor().position();
    const int scroll = box->verticalScrollBar()->value();
    QTextCursor cursor(box->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
    cursor.setPosition(std::min(caret, box->document()->characterCount() - 1));
    box->setTextCursor(cursor);
    box->verticalScrollBar()->setValue(scroll);
}

} // namespace

Form1::Form1(AppConfig config, UrlOpener opener, QWidget* parent)
    : QWidget(parent)
    , m_config(std::move(config))
    , m_openUrl(opener ? std::move(opener) : UrlOpener(&QDesktopServices::openUrl))
    , m_board(*this, m_config.journalFolder) {
    setObjectName(u"Form1"_s);
    setWindowTitle(productTitle());
    setWindowIcon(programIcon());
    setFixedSize(621, 373);

    buildTopStrip();
    buildMainPanel();

    m_Check1 = new QCheckBox(this);
    m_Check1->setObjectName(u"Check1"_s);
    m_Check1->setFocusPolicy(Qt::NoFocus);
    m_Check1->hide();

    // Told on a later turn: the board speaks while a record is handed over.
    m_board.setNotice([this](const QString& text) {
        QMetaObject::invokeMethod(
            this, [this, text] { MessageBoxes::inform(this, text); }, Qt::QueuedConnection);
    });
    m_failedRetry = std::make_unique<FailedRetry>(*this, m_board, m_retryLink);
    buildEngine();
    connectCommands();
}

Form1::~Form1() = default;

void Form1::useSettingsStore(Settings& store, CommandLineOptions options) {
    m_store = &store;
    m_options = std::move(options);
    m_settingsLink->show();
}

void Form1::buildEngine() {
    m_engine = std::make_unique<QueryEngine>(m_failedRetry->board(), engineConfig(m_config));
    m_holdNotice->watch(m_engine.get());
    connect(m_engine.get(), &QueryEngine::runEnded, this, &Form1::updateListLock);
    connect(m_engine.get(), &QueryEngine::runEnded, this, [this] { m_board.endRun(); });
    // Told on a later turn, so that a box never opens in the middle of a step.
    connect(
        m_engine.get(), &QueryEngine::problem, this,
        [this](const QString& message) { MessageBoxes::inform(this, message); },
        Qt::QueuedConnection);
    connect(
        m_engine.get(), &QueryEngine::dnsUnanswered, this,
        [this] {
            MessageBoxes::inform(this, tr("DNS 服务器没有应答，本次查询改为直接询问注册局。\n"
                                          "可在“设置”中换一个 DNS 服务器。"));
        },
        Qt::QueuedConnection);
    connect(
        m_engine.get(), &QueryEngine::registriesUnreachable, this,
        // The proxy this engine's runs go through, whatever was saved since.
        [this, proxy = m_config.proxy] {
            MessageBoxes::inform(this,
                                 proxy.hasOwnServer()
                                     ? tr("连不上注册局的查询服务器，请检查代理 %1 和网络连接。\n"
                                          "查不到的名字都列为“查询失败”。")
                                           .arg(proxy.displayName())
                                     : tr("连不上注册局的查询服务器，请检查网络连接。\n"
                                          "查不到的名字都列为“查询失败”。"));
        },
        Qt::QueuedConnection);
}

// Settings saved in the dialog take effect when a run starts, never during one.
void Form1::applySavedSettings() {
    if (std::exchange(m_configChanged, false))
        buildEngine();
}

void Form1::connectCommands() {
    connect(m_Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(m_Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(m_Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(m_Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(m_Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(m_wenticc, &LinkLabel::clicked, this, &Form1::wenticc_Click);
    connect(m_settingsLink, &LinkLabel::clicked, this, &Form1::settingsLink_Click);
    connect(m_exportLink, &LinkLabel::clicked, this, &Form1::exportResults);
    connect(m_generateLink, &LinkLabel::clicked, this, &Form1::generateLink_Click);
    connect(m_retryLink, &LinkLabel::clicked, this, &Form1::retryFailed);
    for (LineBox* box : {m_Text1, m_Text2}) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [this, box](const QPoint& position) { showResultMenu(box, position); });
        box->viewport()->installEventFilter(this);
    }
}

void Form1::Command1_Click() {
    // Pause and continue act at once on the list as it stands: tidying it
    // under running workers could move lines beneath their cursors.
    switch (m_engine->state()) {
    case QueryEngine::State::Querying:
        m_engine->pause();
        return;
    case QueryEngine::State::Paused:
        m_engine->resume();
        return;
    case QueryEngine::State::Ready:
        break;
    }
    // A list of millions is read once here; the passes of tidying are made
    // only on a list that needs them.
    QString raw = m_Text4->document()->toRawText();
    if (!ListText::isTidy(raw)) {
        // Shift+Enter puts a line separator inside a line: the box shows two
        // lines and toPlainText() reports a line break, but the workers read
        // the box line by line and would see one. Rewriting makes it two.
        const QString current = m_Text4->toPlainText();
        const QString tidied = DomainList::tidy(current);
        if (tidied != current || raw.contains(QChar::LineSeparator))
            replaceText(m_Text4, tidied);
        raw = m_Text4->document()->toRawText();
    }
    if (!DomainList::hasDot(raw)) {
        MessageBoxes::inform(this, tr("请先输入域名！"));
        return;
    }
    startRun(std::move(raw));
}

void Form1::startRun(QString listText) {
    applySavedSettings();
    m_failedRetry->wholeListRun();
    m_board.beginRun({}, std::move(listText));
    m_engine->start();
    updateListLock();
}

void Form1::continueRun(const RunJournal::Contents& contents) {
    m_board.restore(contents);
    applySavedSettings();
    m_failedRetry->wholeListRun();
    m_engine->start();
    updateListLock();
}

bool Form1::runHoldsList() const {
    return m_engine->state() != QueryEngine::State::Ready;
}

// Only the lines that failed are asked about; the list stays as it is.
void Form1::retryFailed() {
    if (runHoldsList())
        return;
    applySavedSettings();
    if (!m_failedRetry->begin())
        return;
    m_engine->start();
    updateListLock();
}

void Form1::updateListLock() {
    m_failedRetry->refresh();
    const bool held = runHoldsList();
    // While names are being written in, the list is neither run nor edited.
    const bool filling = m_filler != nullptr;
    m_Command1->setEnabled(!filling);
    m_Command2->setEnabled(!filling);
    m_Text4->setReadOnly(held || filling);
    m_Text4->setToolTip(held ? tr("查询进行中，列表不能修改；查询结束或停止后即可编辑。")
                             : QString());
}

void Form1::Command2_Click() {
    m_Text4->clear();
    m_Text1->clear();
    m_Text2->clear();
}

void Form1::Command3_Click() {
    m_engine->stop();
    updateListLock();
    m_board.endRun();
}

void Form1::Command5_Click() {
    m_openUrl(m_config.toolsUrl);
    MessageBoxes::inform(this, tr("如果打开不正常，请手动输入：") + m_config.toolsUrl.toString());
}

void Form1::settingsLink_Click() {
    SettingsForm initial = SettingsForm::load(*m_store);
    if (!initial.rememberPassword || initial.proxyPassword.isEmpty())
        initial.proxyPassword = m_unstoredPassword;
    SettingsDialog dialog(*m_store, initial, runHoldsList(), dialogOptionsGiven(m_options), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const SettingsForm saved = dialog.form();
    // A password no keyring took is kept for this session only.
    const bool remembered = saved.rememberPassword && dialog.keyringProblem().isEmpty();
    m_unstoredPassword = remembered ? QString() : saved.proxyPassword;
    AppConfig next = resolveConfig(*m_store, m_options);
    next.journalFolder = m_config.journalFolder;
    if (!m_options.proxy && !remembered)
        next.proxy.password = m_unstoredPassword;
    m_config = std::move(next);
    m_methodLabel->setText(methodText());
    m_configChanged = true;
}

void Form1::closeEvent(QCloseEvent* event) {
    // A second close while the question is on screen would stack a second
    // question; the first answer decides.
    if (m_askingToClose) {
        event->ignore();
        return;
    }
    m_askingToClose = true;
    const auto answer = MessageBoxes::show(this, {.text = tr("真的退出吗?"),
                                                  .title = tr("退出"),
                                                  .icon = QMessageBox::Question,
                                                  .buttons = QMessageBox::Ok | QMessageBox::Cancel,
                                                  .defaultButton = QMessageBox::Ok,
                                                  .escapeButton = QMessageBox::Cancel});
    m_askingToClose = false;
    event->setAccepted(answer == QMessageBox::Ok);
}

} // namespace ds
