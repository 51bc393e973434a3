#include "app/Form1.h"

#include "app/ClipboardCopy.h"
#include "app/FailedRetry.h"
#include "app/Fonts.h"
#include "app/GeneratorDialog.h"
#include "app/HoldNotice.h"
#include "app/LinkLabel.h"
#include "app/ListFiller.h"
#include "app/MessageBoxes.h"
#include "app/Product.h"
#include "app/ResultsFile.h"
#include "app/RunCaptions.h"
#include "app/SettingsDialog.h"
#include "config/LookupOptions.h"
#include "config/Settings.h"
#include "query/DomainList.h"
#include "query/QueryEngine.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolTip>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// Positions are kept in the twips the layout was drawn in, 15 to a pixel.
QRect twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

template <typename Widget>
Widget* place(Widget* widget, const QString& name, const QRect& geometry) {
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

QFrame* frame(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* box = place(new QFrame(parent), name, geometry);
    box->setFrameStyle(QFrame::Box | QFrame::Sunken);
    return box;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    return place(new QLabel(text, parent), name, geometry);
}

QLabel* heading(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    QLabel* caption = label(parent, name, text, geometry);
    caption->setFont(Fonts::song(10.5, true));
    return caption;
}

QPlainTextEdit* textBox(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* box = place(new QPlainTextEdit(parent), name, geometry);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return box;
}

// A text in the top strip that acts like a link: "宋体" 9 pt, bold and
// underlined, in the given colour.
LinkLabel* link(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                const QColor& colour) {
    auto* label = place(new LinkLabel(text, parent), name, geometry);
    label->setFont(Fonts::song(9, true, true));
    // The underline hangs below the descent of these faces: the label grows
    // downwards just enough to keep it, the text staying where it was.
    const QFontMetrics metrics(label->font());
    const int underlineBottom = metrics.ascent() + metrics.underlinePos() + metrics.lineWidth() + 1;
    label->resize(label->width(), std::max(label->height(), underlineBottom));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    label->setPalette(palette);
    return label;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text,
                    const QRect& geometry) {
    return place(new QPushButton(text, parent), name, geometry);
}

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

const QString kSampleList =
    u"8866.pw\n1314.pw\n520520.pw\n9999.pw\n168168.pw\nsieve.pw\nmifan.pw\n"_s;

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

    // A run appends line after line; an undo history of every one of them
    // would only grow.
    m_Text1->setUndoRedoEnabled(false);
    m_Text2->setUndoRedoEnabled(false);

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

void Form1::buildTopStrip() {
    m_Frame2 = frame(this, u"Frame2"_s, twips(120, 0, 9135, 615));
    m_qiyevv = label(m_Frame2, u"qiyevv"_s, QString(), twips(7800, 120, 345, 240));
    m_qiyevv->setPixmap(QPixmap(u":/domainsieve/icons/qiyevv.png"_s));

    const QColor red(255, 0, 0);
    m_wenticc = link(m_Frame2, u"wenticc"_s, tr("问题处理"), twips(8160, 240, 780, 180), red);
    m_exportLink = link(m_Frame2, u"exportLink"_s, tr("导出结果"), twips(6960, 240, 780, 180), red);
    // Just left of the export link, as wide as its words in either language.
    m_settingsLink =
        link(m_Frame2, u"settingsLink"_s, tr("设置"), twips(0, 240, 0, 180), QColor(0, 0, 255));
    m_settingsLink->resize(m_settingsLink->sizeHint().width(), m_settingsLink->height());
    m_settingsLink->move(m_exportLink->x() - 8 - m_settingsLink->width(), m_exportLink->y());
    m_settingsLink->hide();
    // Left of the settings link, which keeps its place when hidden.
    m_generateLink =
        link(m_Frame2, u"generateLink"_s, tr("生成"), twips(0, 240, 0, 180), QColor(0, 0, 255));
    m_generateLink->resize(m_generateLink->sizeHint().width(), m_generateLink->height());
    m_generateLink->move(m_settingsLink->x() - 8 - m_generateLink->width(), m_exportLink->y());
    m_retryLink = link(m_Frame2, u"retryFailedLink"_s, tr("重查失败"), twips(0, 240, 0, 180), red);
    m_retryLink->resize(m_retryLink->sizeHint().width(), m_retryLink->height());
    m_retryLink->move(m_generateLink->x() - 8 - m_retryLink->width(), m_exportLink->y());

    m_methodLabel = label(m_Frame2, u"methodLabel"_s, methodText(), twips(240, 195, 6000, 255));
    m_methodLabel->setFont(Fonts::song(9));
    // Up to the links, never over them: a label on top would take their clicks.
    m_methodLabel->resize(
        std::min(m_methodLabel->width(), m_retryLink->x() - 8 - m_methodLabel->x()),
        m_methodLabel->height());
    m_holdNotice = new HoldNotice(
        m_methodLabel, [this] { return methodText(); }, this);
}

// Which service a run asks, so that nobody takes one for the other.
QString Form1::methodText() const {
    if (m_config.registrarAddress.isEmpty() && m_config.details)
        return tr("查询方式：注册局（RDAP），含注册详情");
    if (m_config.registrarAddress.isEmpty())
        return m_config.dnsEnabled ? tr("查询方式：先查 DNS，再问注册局（RDAP）")
                                   : tr("查询方式：注册局（RDAP）");
    return tr("查询方式：注册商接口 %1").arg(QUrl(m_config.registrarAddress).authority());
}

void Form1::buildMainPanel() {
    m_Frame1 = frame(this, u"Frame1"_s, twips(120, 720, 9135, 4815));
    QWidget* panel = m_Frame1;

    m_Label1[0] = heading(panel, u"Label1_0"_s, tr("输入查询域名："), twips(120, 240, 1575, 210));
    m_Label2[0] = label(panel, u"Label2_0"_s, tr("共有："), twips(2040, 120, 540, 180));
    m_Label2[1] = label(panel, u"Label2_1"_s, tr("完成："), twips(2040, 360, 540, 180));
    // The counters reach to the next heading, so a growing number stays
    // visible and extends to the right.
    m_Label3[0] = label(panel, u"Label3_0"_s, u"0"_s, twips(2640, 120, 960, 180));
    m_Label3[1] = label(panel, u"Label3_1"_s, u"0"_s, twips(2640, 360, 960, 180));
    m_Label1[1] = heading(panel, u"Label1_1"_s, tr("不能注册："), twips(3600, 240, 1125, 210));
    m_Label1[2] = heading(panel, u"Label1_2"_s, tr("可注册："), twips(6360, 240, 900, 210));

    m_Text4 = textBox(panel, u"Text4"_s, twips(120, 600, 3255, 3255));
    m_Text4->setPlainText(kSampleList);
    m_Text2 = textBox(panel, u"Text2"_s, twips(3600, 600, 2655, 3255));
    m_Text1 = textBox(panel, u"Text1"_s, twips(6360, 600, 2535, 3255));

    m_Command1 = button(panel, u"Command1"_s, RunCaptions::ready(), twips(120, 3960, 1455, 615));
    m_Command3 = button(panel, u"Command3"_s, tr("停  止"), twips(2040, 3960, 1215, 615));
    m_Command2 = button(panel, u"Command2"_s, tr("清空"), twips(3600, 3960, 1695, 615));
    m_Command4 = button(panel, u"Command4"_s, tr("复制结果"), twips(6360, 3960, 1095, 615));
    m_Command5 = button(panel, u"Command5"_s, tr("配套工具"), twips(7920, 3960, 975, 615));

    QWidget* const order[] = {m_Text2, m_Text1,    m_Command3, m_Command2,
                              m_Text4, m_Command1, m_Command4, m_Command5};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
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
    for (QPlainTextEdit* box : {m_Text1, m_Text2}) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [this, box](const QPoint& position) { showResultMenu(box, position); });
    }
    for (QPlainTextEdit* box : {m_Text1, m_Text2})
        box->viewport()->installEventFilter(this);
}

// A result line's tooltip says how its answer was had.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::eventFilter(watched, event);
    for (QPlainTextEdit* box : {m_Text1, m_Text2}) {
        if (watched != box->viewport())
            continue;
        const QPoint position = static_cast<QHelpEvent*>(event)->pos();
        const QString tip = m_board.lineTip(box->cursorForPosition(position).block());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, box);
        return true;
    }
    return QWidget::eventFilter(watched, event);
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
    // Shift+Enter puts a line separator inside a line: the box shows two lines
    // and toPlainText() reports a line break, but the workers read the box
    // line by line and would see one. Rewriting the text makes it two.
    const QString current = m_Text4->toPlainText();
    const QString tidied = DomainList::tidy(current);
    if (tidied != current || m_Text4->document()->toRawText().contains(QChar::LineSeparator))
        replaceText(m_Text4, tidied);
    if (!DomainList::hasDot(tidied)) {
        MessageBoxes::inform(this, tr("请先输入域名！"));
        return;
    }
    startRun();
}

void Form1::startRun() {
    applySavedSettings();
    m_failedRetry->wholeListRun();
    m_board.beginRun();
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

void Form1::Command4_Click() {
    const QString text = ClipboardCopy::freeDomains(m_Text1->toPlainText());
    if (!ClipboardCopy::putOnClipboard(QGuiApplication::clipboard(), text)) {
        MessageBoxes::inform(this, tr("无法访问剪贴板，域名没有复制。请稍后再试。"));
        return;
    }
    MessageBoxes::inform(this, tr("全部域名复制成功，您可以粘贴到任意处！"));
}

void Form1::Command5_Click() {
    m_openUrl(m_config.toolsUrl);
    MessageBoxes::inform(this, tr("如果打开不正常，请手动输入：") + m_config.toolsUrl.toString());
}

void Form1::wenticc_Click() {
    m_openUrl(m_config.supportUrl);
}

void Form1::showResultMenu(QPlainTextEdit* box, const QPoint& position) {
    std::unique_ptr<QMenu> menu(box->createStandardContextMenu(position));
    menu->addSeparator();
    menu->addAction(tr("导出结果"), this, &Form1::exportResults);
    menu->exec(box->viewport()->mapToGlobal(position));
}

void Form1::exportResults() {
    const QString path =
        m_chooseSavePath
            ? m_chooseSavePath(this)
            : QFileDialog::getSaveFileName(this, tr("导出结果"), QString(),
                                           tr("文本 (*.txt);;CSV (*.csv);;JSON Lines (*.jsonl)"));
    if (!path.isEmpty())
        ResultsFile::exportBoxes(this, path, {m_Text1->document(), m_Text2->document()},
                                 [this](const QTextBlock& line) { return m_board.answerOf(line); });
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

void Form1::generateLink_Click() {
    if (runHoldsList() || m_filler) {
        MessageBoxes::inform(this, tr("查询进行中，列表不能修改；查询结束或停止后再生成。"));
        return;
    }
    GeneratorDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted || !dialog.generator())
        return;
    fillList(*dialog.generator(), dialog.appends());
}

void Form1::fillList(NameGenerator generator, bool append) {
    m_filler = new ListFiller(m_Text4, std::move(generator), append, this);
    connect(m_filler, &ListFiller::finished, this, [this] {
        m_filler->deleteLater();
        m_filler = nullptr;
        updateListLock();
    });
    updateListLock();
    m_filler->start();
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
