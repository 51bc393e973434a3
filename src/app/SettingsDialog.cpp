#include "app/SettingsDialog.h"

#include "app/ServerPaceEditor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

using Field = SettingsForm::Field;
using ProxyType = ProxyConfig::Type;

QRadioButton* choice(QButtonGroup* group, int id, const QString& name, const QString& text) {
    auto* button = new QRadioButton(text);
    button->setObjectName(name);
    group->addButton(button, id);
    return button;
}

// A tick box named and captioned by its setting.
QCheckBox* tick(Field field) {
    const SettingRow& setting = settingRow(field);
    auto* box = new QCheckBox(SettingsForm::tr(setting.label));
    box->setObjectName(setting.fieldName);
    return box;
}

QLabel* note(const QString& name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

} // namespace

SettingsDialog::SettingsDialog(Settings& store, const SettingsForm& initial, bool runUnderWay,
                               const QStringList& optionsInForce, QWidget* parent)
    : QDialog(parent)
    , m_store(store) {
    setObjectName(u"SettingsDialog"_s);
    setWindowTitle(tr("设置"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    if (runUnderWay)
        layout->addWidget(note(u"runNote"_s, tr("查询正在进行：这次查询沿用原来的设置，"
                                                "新的设置从下一次查询起生效。")));
    if (!optionsInForce.isEmpty())
        layout->addWidget(
            note(u"optionsNote"_s, tr("这次启动用了命令行选项 %1，它们优先于这里的设置；"
                                      "这里保存的值在不带这些选项启动时生效。")
                                       .arg(optionsInForce.join(u' '))));
    layout->addWidget(buildLookupGroup());
    layout->addWidget(buildPacingGroup());
    m_serverPaces = new ServerPaceEditor;
    layout->addWidget(m_serverPaces);
    layout->addWidget(buildProxyGroup());

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                     QDialogButtonBox::RestoreDefaults);
    const auto name = [this](QDialogButtonBox::StandardButton which, const QString& objectName,
                             const QString& text) {
        m_buttons->button(which)->setObjectName(objectName);
        m_buttons->button(which)->setText(text);
    };
    name(QDialogButtonBox::Ok, u"okButton"_s, tr("确定"));
    name(QDialogButtonBox::Cancel, u"cancelButton"_s, tr("取消"));
    name(QDialogButtonBox::RestoreDefaults, u"restoreDefaults"_s, tr("恢复默认"));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    connect(m_buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            [this] { fill(SettingsForm::defaults()); });

    fill(initial);
    for (QLineEdit* edit : std::as_const(m_edits))
        connect(edit, &QLineEdit::textChanged, this, &SettingsDialog::refresh);
    connect(m_password, &QLineEdit::textChanged, this, &SettingsDialog::refresh);
    connect(m_method, &QButtonGroup::idToggled, this, &SettingsDialog::refresh);
    connect(m_dnsEnabled, &QCheckBox::toggled, this, &SettingsDialog::refresh);
    connect(m_details, &QCheckBox::toggled, this, &SettingsDialog::refresh);
    connect(m_proxyType, &QButtonGroup::idToggled, this, &SettingsDialog::refresh);
    connect(m_serverPaces, &ServerPaceEditor::edited, this, &SettingsDialog::refresh);
    // A proxy of its own is offered with its usual port until one is typed.
    connect(m_proxyType, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        const auto type = static_cast<ProxyType>(id);
        QLineEdit* port = m_edits[Field::ProxyPort];
        if (checked && port->text().isEmpty() && ProxyConfig::hasOwnServer(type))
            port->setText(QString::number(usualProxyPort(type)));
    });
    refresh();
}

QWidget* SettingsDialog::buildLookupGroup() {
    auto* group = new QGroupBox(tr("查询方式"));
    auto* grid = new QGridLayout(group);
    m_method = new QButtonGroup(group);
    grid->addWidget(choice(m_method, static_cast<int>(LookupMethod::Registries),
                           u"registriesChoice"_s, tr("公共注册局（RDAP 和 WHOIS）")),
                    0, 0, 1, 4);
    // Indented under the registries, the only method the DNS step goes with.
    auto* dns = new QGridLayout;
    dns->setContentsMargins(20, 0, 0, 0);
    m_dnsEnabled = tick(Field::DnsEnabled);
    dns->addWidget(m_dnsEnabled, 0, 0, 1, 4);
    addField(dns, 1, Field::DnsServer)->setPlaceholderText(tr("系统默认"));
    const QString dnsNote = tr("DNS 查询直接发往 DNS 服务器，不经过代理。");
    dns->addWidget(note(u"dnsNote"_s, dnsNote), 2, 0, 1, 4);
    m_details = tick(Field::Details);
    dns->addWidget(m_details, 3, 0, 1, 4);
    // The DNS answers only "taken", without details: asking for them skips it.
    const QString detailsNote = tr("勾选后不再先查 DNS，每个域名都要等注册局回答，较慢。");
    dns->addWidget(note(u"detailsNote"_s, detailsNote), 4, 0, 1, 4);
    grid->addLayout(dns, 1, 0, 1, 4);
    grid->addWidget(choice(m_method, static_cast<int>(LookupMethod::Registrar),
                           u"registrarChoice"_s, tr("注册商查询服务")),
                    2, 0, 1, 4);
    addField(grid, 3, Field::RegistrarAddress);
    return group;
}

QWidget* SettingsDialog::buildPacingGroup() {
    auto* group = new QGroupBox(tr("节奏"));
    auto* grid = new QGridLayout(group);
    int row = 0;
    for (const SettingRow* number : SettingsForm::numberFields())
        addField(grid, row++, number->key);
    return group;
}

QWidget* SettingsDialog::buildProxyGroup() {
    auto* group = new QGroupBox(tr("代理"));
    auto* layout = new QVBoxLayout(group);
    m_proxyType = new QButtonGroup(group);
    auto* choices = new QHBoxLayout;
    choices->addWidget(
        choice(m_proxyType, static_cast<int>(ProxyType::None), u"proxyNone"_s, tr("不使用代理")));
    choices->addWidget(
        choice(m_proxyType, static_cast<int>(ProxyType::System), u"proxySystem"_s, tr("系统代理")));
    choices->addWidget(
        choice(m_proxyType, static_cast<int>(ProxyType::Http), u"proxyHttp"_s, u"HTTP"_s));
    choices->addWidget(
        choice(m_proxyType, static_cast<int>(ProxyType::Socks5), u"proxySocks5"_s, u"SOCKS5"_s));
    choices->addStretch();
    layout->addLayout(choices);

    auto* grid = new QGridLayout;
    addField(grid, 0, Field::ProxyHost);
    addField(grid, 1, Field::ProxyPort);
    addField(grid, 2, Field::ProxyUser);
    m_password = new QLineEdit;
    m_password->setObjectName(u"proxyPassword"_s);
    m_password->setEchoMode(QLineEdit::Password);
    grid->addWidget(new QLabel(tr("密码")), 3, 0);
    grid->addWidget(m_password, 3, 1);
    m_rememberPassword = tick(Field::ProxyRememberPassword);
    grid->addWidget(m_rememberPassword, 3, 2, 1, 2);
    layout->addLayout(grid);
    if (const QString problem = m_store.keyringProblem(); !problem.isEmpty())
        layout->addWidget(
            note(u"keyringNote"_s, tr("%1：记住的密码只保留到程序退出。").arg(problem)));
    layout->addWidget(note(u"proxyNote"_s, tr("RDAP、注册商查询服务和引导文件的下载都经过代理。"
                                              "WHOIS 只经过 SOCKS5 代理；代理为 HTTP 时，"
                                              "WHOIS 直接连接。")));
    return group;
}

QLineEdit* SettingsDialog::addField(QGridLayout* grid, int row, Field field) {
    const SettingRow& setting = settingRow(field);
    const QString name = setting.fieldName;
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    const bool address =
        field == Field::RegistrarAddress || field == Field::DnsServer || field == Field::ProxyHost;
    edit->setMinimumWidth(address ? 200 : 80);
    auto* problem = new QLabel;
    problem->setObjectName(name + u"Problem"_s);
    // The skin colours it through this property; the palette serves without one.
    problem->setProperty("problem", true);
    QPalette red = problem->palette();
    red.setColor(QPalette::WindowText, problemColour());
    problem->setPalette(red);
    // Room for the longest message from the start, so nothing moves as one appears.
    problem->setMinimumWidth(problem->fontMetrics().horizontalAdvance(u'中') * 16);
    grid->addWidget(new QLabel(SettingsForm::tr(setting.label)), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(new QLabel(fieldHint(setting)), row, 2);
    grid->addWidget(problem, row, 3);
    grid->setColumnStretch(3, 1);
    m_edits.insert(field, edit);
    m_problems.insert(field, problem);
    return edit;
}

void SettingsDialog::fill(const SettingsForm& form) {
    m_method->button(static_cast<int>(form.method))->setChecked(true);
    m_edits[Field::RegistrarAddress]->setText(form.registrarAddress);
    m_dnsEnabled->setChecked(form.dnsEnabled);
    m_details->setChecked(form.details);
    m_edits[Field::DnsServer]->setText(form.dnsServer);
    for (const SettingRow* number : SettingsForm::numberFields())
        m_edits[number->key]->setText(form.numbers.value(number->key));
    m_proxyType->button(static_cast<int>(form.proxyType))->setChecked(true);
    m_edits[Field::ProxyHost]->setText(form.proxyHost);
    m_edits[Field::ProxyPort]->setText(form.proxyPort);
    m_edits[Field::ProxyUser]->setText(form.proxyUser);
    m_password->setText(form.proxyPassword);
    m_rememberPassword->setChecked(form.rememberPassword);
    m_serverPaces->setRows(form.serverPaces);
}

SettingsForm SettingsDialog::form() const {
    SettingsForm form;
    form.method = static_cast<LookupMethod>(m_method->checkedId());
    form.registrarAddress = m_edits[Field::RegistrarAddress]->text();
    form.dnsEnabled = m_dnsEnabled->isChecked();
    form.details = m_details->isChecked();
    form.dnsServer = m_edits[Field::DnsServer]->text();
    for (const SettingRow* number : SettingsForm::numberFields())
        form.numbers[number->key] = m_edits[number->key]->text();
    form.proxyType = static_cast<ProxyType>(m_proxyType->checkedId());
    form.proxyHost = m_edits[Field::ProxyHost]->text();
    form.proxyPort = m_edits[Field::ProxyPort]->text();
    form.proxyUser = m_edits[Field::ProxyUser]->text();
    form.proxyPassword = m_password->text();
    form.rememberPassword = m_rememberPassword->isChecked();
    form.serverPaces = m_serverPaces->rows();
    return form;
}

void SettingsDialog::accept() {
    m_keyringProblem.clear();
    if (form().save(m_store, &m_keyringProblem))
        QDialog::accept();
}

void SettingsDialog::refresh() {
    const SettingsForm current = form();
    const QMap<Field, QString> problems = current.problems();
    for (auto it = m_problems.cbegin(); it != m_problems.cend(); ++it)
        it.value()->setText(problems.value(it.key()));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(problems.isEmpty());

    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        it.value()->setEnabled(current.inUse(it.key()));
    // The DNS step never precedes the registrar, nor a run that wants details.
    const bool registries = current.method == LookupMethod::Registries;
    m_dnsEnabled->setEnabled(registries && !current.details);
    m_details->setEnabled(registries);
    const bool ownProxy = current.inUse(Field::ProxyHost);
    m_password->setEnabled(ownProxy);
    m_rememberPassword->setEnabled(ownProxy);
}

} // namespace ds
