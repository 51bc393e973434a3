#pragma once

#include "app/SettingsForm.h"

#include <QDialog>
#include <QMap>

class QButtonGroup;
class QCheckBox;
class QDialogButtonBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace ds {

class ServerPaceEditor;
class Settings;

// "设置": how names are looked up, the pacing (the paces of particular servers
// among it) and the proxy. OK saves to the
// store and closes; Cancel and Esc close without a trace. OK stays disabled
// while a field holds something that cannot be saved, and each such field
// says why beside it.
class SettingsDialog final : public QDialog {
    Q_OBJECT

public:
    // `initial` fills the fields; `runUnderWay` adds a word that the running
    // query keeps its settings, `optionsInForce` one that these command-line
    // options win over what is saved until the program starts without them.
    SettingsDialog(Settings& store, const SettingsForm& initial, bool runUnderWay,
                   const QStringList& optionsInForce = {}, QWidget* parent = nullptr);

    // The fields as they stand.
    SettingsForm form() const;

    void accept() override;
    // After an accepted dialog: why the password to remember went into no
    // keyring (it is then kept for this session only); empty when it did.
    QString keyringProblem() const { return m_keyringProblem; }

private:
    QWidget* buildLookupGroup();
    QWidget* buildPacingGroup();
    QWidget* buildProxyGroup();
    // A line edit with its caption, hint and problem label, as the settings
    // table describes the field.
    QLineEdit* addField(QGridLayout* grid, int row, SettingsForm::Field field);
    void fill(const SettingsForm& form);
    void refresh();

    Settings& m_store;
    QButtonGroup* m_method = nullptr;
    QCheckBox* m_dnsEnabled = nullptr;
    QCheckBox* m_details = nullptr;
    QButtonGroup* m_proxyType = nullptr;
    QMap<SettingsForm::Field, QLineEdit*> m_edits;
    QMap<SettingsForm::Field, QLabel*> m_problems;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_rememberPassword = nullptr;
    QString m_keyringProblem;
    ServerPaceEditor* m_serverPaces = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace ds
