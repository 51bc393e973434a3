#include "app/Fonts.h"
#include "app/Form1.h"
#include "app/HoldNotice.h"
#include "app/LineBox.h"
#include "app/LinkLabel.h"
#include "app/RunCaptions.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

#include <algorithm>

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

template <typename Box>
Box* textBox(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* box = place(new Box(parent), name, geometry);
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

const QString kSampleList =
    u"8866.pw\n1314.pw\n520520.pw\n9999.pw\n168168.pw\nsieve.pw\nmifan.pw\n"_s;

} // namespace

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

    m_Text4 = textBox<QPlainTextEdit>(panel, u"Text4"_s, twips(120, 600, 3255, 3255));
    m_Text4->setPlainText(kSampleList);
    m_Text2 = textBox<LineBox>(panel, u"Text2"_s, twips(3600, 600, 2655, 3255));
    m_Text1 = textBox<LineBox>(panel, u"Text1"_s, twips(6360, 600, 2535, 3255));

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

} // namespace ds
