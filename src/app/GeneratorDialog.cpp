#include "app/GeneratorDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// Typing is not held up by a count for every key: the count follows a pause.
constexpr int RefreshDelayMs = 150;

QStringList words(const QString& text) {
    static const QRegularExpression separators(u"[,，;；\\s]+"_s);
    return text.split(separators, Qt::SkipEmptyParts);
}

} // namespace

GeneratorDialog::GeneratorDialog(QWidget* parent)
    : QDialog(parent) {
    setObjectName(u"GeneratorDialog"_s);
    setWindowTitle(tr("生成域名列表"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* grammar = new QLabel(tr("N 数字　L 字母　X 字母或数字　C 声母　V 韵母　P 拼音音节\n"
                                  "[a-f] 集合　{ab,cd} 任选其一　{AABB:N} 形状　\"abc\" 原样"),
                               this);
    grammar->setObjectName(u"grammarNote"_s);
    layout->addWidget(grammar);

    auto* form = new QFormLayout;
    m_pattern = field(u"patternEdit"_s, tr("例如 {AABB:N} 或 PP"));
    m_tlds = field(u"tldEdit"_s, tr(".com,.net,.cn；或 @gtld、@cctld、@all"));
    m_exclusions = field(u"exclusionEdit"_s, tr("不要的字符或形状，例如 4,AAA"));
    m_prefixes = field(u"prefixEdit"_s, tr("放在前面的词，用逗号隔开"));
    m_suffixes = field(u"suffixEdit"_s, tr("放在后面的词，用逗号隔开"));
    m_tlds->setText(u".com"_s);
    form->addRow(tr("模式："), m_pattern);
    form->addRow(tr("后缀："), m_tlds);
    form->addRow(tr("排除："), m_exclusions);
    form->addRow(tr("前缀词："), m_prefixes);
    form->addRow(tr("后缀词："), m_suffixes);
    layout->addLayout(form);

    m_count = new QLabel(this);
    m_count->setObjectName(u"countLabel"_s);
    m_count->setWordWrap(true);
    layout->addWidget(m_count);
    m_preview = new QPlainTextEdit(this);
    m_preview->setObjectName(u"previewBox"_s);
    m_preview->setReadOnly(true);
    m_preview->setFixedHeight(m_preview->fontMetrics().lineSpacing() * (kPreviewNames + 1));
    layout->addWidget(m_preview);

    auto* modes = new QHBoxLayout;
    m_replace = new QRadioButton(tr("替换列表"), this);
    m_replace->setObjectName(u"replaceButton"_s);
    m_replace->setChecked(true);
    m_append = new QRadioButton(tr("追加到列表末尾"), this);
    m_append->setObjectName(u"appendButton"_s);
    modes->addWidget(m_replace);
    modes->addWidget(m_append);
    modes->addStretch();
    layout->addLayout(modes);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_generate = buttons->button(QDialogButtonBox::Ok);
    m_generate->setObjectName(u"generateButton"_s);
    m_generate->setText(tr("生成"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(u"cancelButton"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &GeneratorDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GeneratorDialog::reject);

    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(RefreshDelayMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &GeneratorDialog::refresh);
    for (QLineEdit* edit : {m_pattern, m_tlds, m_exclusions, m_prefixes, m_suffixes})
        connect(edit, &QLineEdit::textChanged, &m_refreshTimer, qOverload<>(&QTimer::start));
    refresh();
    resize(460, sizeHint().height());
}

QLineEdit* GeneratorDialog::field(const QString& name, const QString& placeholder) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setPlaceholderText(placeholder);
    return edit;
}

GeneratorRequest GeneratorDialog::request() const {
    return GeneratorRequest{m_pattern->text(), m_tlds->text(), m_exclusions->text(),
                            words(m_prefixes->text()), words(m_suffixes->text())};
}

bool GeneratorDialog::appends() const {
    return m_append->isChecked();
}

void GeneratorDialog::refresh() {
    m_refreshTimer.stop();
    QString error;
    m_generator =
        m_pattern->text().isEmpty() ? std::nullopt : NameGenerator::create(request(), &error);
    m_generate->setEnabled(m_generator.has_value());
    QPalette palette = m_count->palette();
    palette.setColor(QPalette::WindowText, m_generator || m_pattern->text().isEmpty()
                                               ? this->palette().color(QPalette::WindowText)
                                               : QColor(255, 0, 0));
    m_count->setPalette(palette);
    if (!m_generator) {
        m_count->setText(m_pattern->text().isEmpty() ? tr("请输入模式") : error);
        m_preview->clear();
        return;
    }
    m_count->setText(m_generator->count().text());
    NameGenerator sample = *m_generator;
    QStringList first;
    QString name;
    while (first.size() < kPreviewNames && sample.next(name))
        first.append(name);
    m_preview->setPlainText(first.join(u'\n'));
}

} // namespace ds
