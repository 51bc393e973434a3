#pragma once

#include "app/FormRunBoard.h"
#include "config/AppConfig.h"
#include "generate/NameGenerator.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QUrl;

namespace ds {

class FailedRetry;
class HoldNotice;
class LineBox;
class LinkLabel;
class ListFiller;
class QueryEngine;
class Settings;

// The program's one window: the domain list, the two result lists, the
// counters, the command buttons and the support link, laid out at fixed
// positions. The query engine keeps its run state in these controls.
class Form1 final : public QWidget {
    Q_OBJECT

public:
    // Hands an address to whatever the system opens it with; true on success.
    using UrlOpener = std::function<bool(const QUrl&)>;
    // Asks where to save the results; an empty path means cancelled.
    using SavePathChooser = std::function<QString(QWidget* parent)>;

    // An empty opener means QDesktopServices::openUrl.
    explicit Form1(AppConfig config, UrlOpener opener = {}, QWidget* parent = nullptr);
    ~Form1() override;

    const AppConfig& config() const { return m_config; }
    // The store the "设置" dialog edits, and the options that win over it for
    // this start of the program. Without a store the link is not shown.
    void useSettingsStore(Settings& store, CommandLineOptions options);
    // The run controller working on this window's controls.
    QueryEngine& engine() const { return *m_engine; }
    FormRunBoard& board() { return m_board; }
    // Replaces the file dialog of "导出结果" (tests answer it themselves).
    void setSavePathChooser(SavePathChooser chooser) { m_chooseSavePath = std::move(chooser); }
    LinkLabel* exportLink() const { return m_exportLink; }
    LinkLabel* generateLink() const { return m_generateLink; }

    // Shows a journal's list and results and goes on over the names it has
    // not answered yet.
    void continueRun(const RunJournal::Contents& contents);

    QPlainTextEdit* Text4() const { return m_Text4; }
    LineBox* Text1() const { return m_Text1; }
    LineBox* Text2() const { return m_Text2; }
    // Index 0 is the total counter, index 1 the done counter.
    QLabel* Label3(int index) const { return m_Label3.at(static_cast<std::size_t>(index)); }
    QPushButton* Command1() const { return m_Command1; }
    QPushButton* Command3() const { return m_Command3; }
    // The pause flag: checked while a run is paused. Never shown.
    QCheckBox* Check1() const { return m_Check1; }

    // True from the press that starts a run until it ends or is stopped, a
    // pause included: the workers read the list by line number, so it is
    // read-only meanwhile and nothing may rewrite it.
    bool runHoldsList() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopStrip();
    void buildMainPanel();
    void connectCommands();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void wenticc_Click();
    void exportResults();
    void retryFailed();
    void showResultMenu(LineBox* box, const QPoint& position);
    void settingsLink_Click();
    void generateLink_Click();
    void fillList(NameGenerator generator, bool append);

    // `listText` is the list box's raw text.
    void startRun(QString listText);
    void updateListLock();
    void buildEngine();
    void applySavedSettings();
    QString methodText() const;

    AppConfig m_config;
    UrlOpener m_openUrl;
    SavePathChooser m_chooseSavePath;
    Settings* m_store = nullptr;
    CommandLineOptions m_options;
    // A proxy password the person chose not to store lives only this long.
    QString m_unstoredPassword;
    // The dialog changed the settings; the next run starts a new engine.
    bool m_configChanged = false;
    bool m_askingToClose = false;

    QFrame* m_Frame2 = nullptr;
    QLabel* m_qiyevv = nullptr;
    LinkLabel* m_wenticc = nullptr;
    LinkLabel* m_exportLink = nullptr;
    LinkLabel* m_retryLink = nullptr;
    QLabel* m_methodLabel = nullptr;
    HoldNotice* m_holdNotice = nullptr;
    LinkLabel* m_settingsLink = nullptr;
    LinkLabel* m_generateLink = nullptr;
    QFrame* m_Frame1 = nullptr;
    std::array<QLabel*, 3> m_Label1{};
    std::array<QLabel*, 2> m_Label2{};
    std::array<QLabel*, 2> m_Label3{};
    QPlainTextEdit* m_Text4 = nullptr;
    LineBox* m_Text2 = nullptr;
    LineBox* m_Text1 = nullptr;
    QPushButton* m_Command1 = nullptr;
    QPushButton* m_Command3 = nullptr;
    QPushButton* m_Command2 = nullptr;
    QPushButton* m_Command4 = nullptr;
    QPushButton* m_Command5 = nullptr;
    QCheckBox* m_Check1 = nullptr;

    FormRunBoard m_board;
    std::unique_ptr<FailedRetry> m_failedRetry;
    std::unique_ptr<QueryEngine> m_engine;
    // Writing generated names into the list; null when none is under way.
    ListFiller* m_filler = nullptr;
};

} // namespace ds
