#include "app/SettingsForm.h"

#include "lookup/DnsServerAddress.h"
#include "lookup/ServerPace.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

using Field = SettingsForm::Field;
using Key = Settings::Key;

// A whole number within the range, or nullopt; blanks around it are allowed.
std::optional<int> numberIn(const QString& text, std::pair<int, int> range) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < range.first || value > range.second)
        return std::nullopt;
    return value;
}

bool isHostName(const QString& text) {
    QUrl url;
    url.setHost(text.trimmed(), QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty();
}

const std::pair<int, int> kPortRange{1, 65535};

} // namespace

QList<const SettingRow*> SettingsForm::numberFields() {
    QList<const SettingRow*> fields;
    for (const SettingRow& row : settingRows()) {
        if (row.place == SettingPlace::Pacing && row.isNumber())
            fields.append(&row);
    }
    return fields;
}

SettingsForm SettingsForm::load(const Settings& settings) {
    SettingsForm form;
    form.method = settings.lookupMethod();
    form.registrarAddress = settings.registrarAddress();
    form.dnsEnabled = settings.flag(Key::DnsEnabled);
    form.dnsServer = settings.text(Key::DnsServer);
    form.details = settings.flag(Key::Details);
    for (const SettingRow* number : numberFields())
        form.numbers[number->key] = QString::number(settings.integer(number->key));
    const ProxyConfig proxy = settings.proxy();
    form.proxyType = proxy.type;
    form.proxyHost = proxy.host;
    form.proxyPort = proxy.port == 0 ? QString() : QString::number(proxy.port);
    form.proxyUser = proxy.user;
    form.proxyPassword = proxy.password;
    form.rememberPassword = settings.flag(Key::ProxyRememberPassword);
    for (const QString& pace : settings.list(Key::ServerPaces))
        form.serverPaces.append(ServerPaceRow::fromText(pace));
    return form;
}

SettingsForm SettingsForm::defaults() {
    SettingsForm form;
    for (const SettingRow* number : numberFields())
        form.numbers[number->key] = number->fallback().toString();
    return form;
}

bool SettingsForm::inUse(Field field) const {
    switch (field) {
    case Field::RegistrarAddress:
        return method == LookupMethod::Registrar;
    case Field::DnsServer:
    case Field::DnsParallel:
        return method == LookupMethod::Registries && dnsEnabled && !details;
    case Field::ProxyHost:
    case Field::ProxyPort:
    case Field::ProxyUser:
        return ProxyConfig::hasOwnServer(proxyType);
    case Field::Workers:
    case Field::RestartIntervalMs:
        return method == LookupMethod::Registrar;
    case Field::RegistryRequestsInFlight:
    case Field::LongestWaitMinutes:
        return method == LookupMethod::Registries;
    default:
        return true;
    }
}

QMap<Field, QString> SettingsForm::problems() const {
    // Fields not in use are not checked: they are kept only when usable, so
    // that nothing the person cannot change blocks the save.
    QMap<Field, QString> found;
    for (const SettingRow* number : numberFields()) {
        if (inUse(number->key) &&
            !numberIn(numbers.value(number->key), {number->minimum, number->maximum}))
            found[number->key] =
                tr("请输入 %1 到 %2 之间的整数").arg(number->minimum).arg(number->maximum);
    }

    if (inUse(Field::RegistrarAddress)) {
        if (registrarAddress.trimmed().isEmpty())
            found[Field::RegistrarAddress] = tr("请填写查询服务的地址");
        else if (normaliseRegistrarAddress(registrarAddress).isEmpty())
            found[Field::RegistrarAddress] = tr("地址应为 http://主机[:端口]");
    }
    for (qsizetype row = 0; row < serverPaces.size(); ++row) {
        if (const QString problem = serverPaceProblem(serverPaces[row]); !problem.isEmpty()) {
            found[Field::ServerPaces] = tr("第 %1 行：%2").arg(row + 1).arg(problem);
            break;
        }
    }
    if (inUse(Field::DnsServer) && !dnsServer.trimmed().isEmpty() &&
        !isUsableDnsServer(dnsServer.trimmed()))
        found[Field::DnsServer] = tr("应为 IP 地址[:端口]，或留空");
    if (!inUse(Field::ProxyHost))
        return found;
    if (proxyHost.trimmed().isEmpty())
        found[Field::ProxyHost] = tr("请填写代理服务器");
    else if (!isHostName(proxyHost))
        found[Field::ProxyHost] = tr("应为主机名或 IP 地址");
    if (!numberIn(proxyPort, kPortRange))
        found[Field::ProxyPort] = tr("请输入 1 到 65535 之间的端口");
    if (proxyUser.isEmpty() && !proxyPassword.isEmpty())
        found[Field::ProxyUser] = tr("有密码时请填写用户名");
    return found;
}

bool SettingsForm::save(Settings& settings, QString* keyringProblem) const {
    if (!problems().isEmpty())
        return false;
    settings.setValue(Key::LookupMethod,
                      method == LookupMethod::Registrar ? u"registrar"_s : u"registries"_s);
    settings.setValue(Key::RegistrarAddress, normaliseRegistrarAddress(registrarAddress));
    settings.setValue(Key::DnsEnabled, dnsEnabled);
    settings.setValue(Key::Details, details);
    const QString server = dnsServer.trimmed();
    settings.setValue(Key::DnsServer, isUsableDnsServer(server) ? server : QString());
    for (const SettingRow* number : numberFields()) {
        if (const auto value =
                numberIn(numbers.value(number->key), {number->minimum, number->maximum}))
            settings.setValue(number->key, *value);
    }
    QStringList paces;
    for (const ServerPaceRow& row : serverPaces) {
        if (!row.isBlank())
            paces.append(row.text());
    }
    settings.setValue(Key::ServerPaces, paces);
    settings.setValue(Key::ProxyType, QString(proxyTypeKey(proxyType)));
    settings.setValue(Key::ProxyHost, isHostName(proxyHost) ? proxyHost.trimmed() : QString());
    if (const std::optional<int> port = numberIn(proxyPort, kPortRange))
        settings.setValue(Key::ProxyPort, *port);
    else
        settings.remove(Key::ProxyPort);
    settings.setValue(Key::ProxyUser, proxyUser);
    settings.setValue(Key::ProxyRememberPassword, rememberPassword);
    QString problem;
    if (!rememberPassword || proxyPassword.isEmpty())
        settings.forgetPassword();
    else if (!settings.storePassword(proxyPassword, problem) && keyringProblem)
        *keyringProblem = problem;
    settings.sync();
    return true;
}

ProxyConfig SettingsForm::proxy() const {
    return {proxyType, proxyHost.trimmed(), static_cast<quint16>(proxyPort.trimmed().toUInt()),
            proxyUser, proxyPassword};
}

bool SettingsForm::ServerPaceRow::isBlank() const {
    return server.trimmed().isEmpty() && rate.trimmed().isEmpty() && inFlight.trimmed().isEmpty();
}

QString SettingsForm::ServerPaceRow::text() const {
    QString line = server.trimmed() + u'=' + rate.trimmed();
    if (!inFlight.trimmed().isEmpty())
        line += u'/' + inFlight.trimmed();
    return line;
}

SettingsForm::ServerPaceRow SettingsForm::ServerPaceRow::fromText(const QString& text) {
    const QString pace = text.section(u'=', 1);
    return {text.section(u'=', 0, 0).trimmed(), pace.section(u'/', 0, 0).trimmed(),
            pace.section(u'/', 1).trimmed()};
}

QString SettingsForm::serverPaceProblem(const ServerPaceRow& row) {
    if (row.isBlank())
        return {};
    if (row.server.trimmed().isEmpty())
        return tr("请填写服务器");
    // A separator typed into a cell would be read as the start of the next part.
    const auto holdsSeparator = [](const QString& cell) {
        return cell.contains(u'=') || cell.contains(u'/');
    };
    ServerPaceMistake mistake = ServerPaceMistake::Host;
    if (holdsSeparator(row.rate))
        mistake = ServerPaceMistake::Rate;
    else if (holdsSeparator(row.inFlight))
        mistake = ServerPaceMistake::InFlight;
    else if (!holdsSeparator(row.server)) {
        const ParsedServerPace parsed = parseServerPaceOverride(row.text());
        if (parsed.value)
            return {};
        mistake = parsed.mistake;
    }
    switch (mistake) {
    case ServerPaceMistake::Shape:
    case ServerPaceMistake::Host:
        break;
    case ServerPaceMistake::Port:
        return tr("端口应在 1 到 65535 之间");
    case ServerPaceMistake::Rate:
        return tr("每秒请求数应大于 0、不超过 %1").arg(kMostRequestsPerSecond);
    case ServerPaceMistake::InFlight:
        return tr("同时请求数应为 1 到 %1 之间的整数").arg(kMostInFlight);
    }
    return tr("服务器应为主机名或 IP 地址[:端口]");
}

QString fieldHint(const SettingRow& row) {
    const QString unit = row.unit ? SettingsForm::tr(row.unit) : QString();
    if (row.place != SettingPlace::Pacing || !row.isNumber())
        return unit;
    return SettingsForm::tr("%1（%2–%3）").arg(unit).arg(row.minimum).arg(row.maximum);
}

} // namespace ds
