#include "app/RunRestore.h"

#include "app/Form1.h"
#include "app/MessageBoxes.h"

#include <QCoreApplication>

namespace ds {

namespace {

QString damageNote(const RunJournal::Contents& contents) {
    QStringList notes;
    if (contents.listCut)
        notes.append(
            QCoreApplication::translate("RunRestore", "域名列表不完整，只恢复能读出的 %1 行")
                .arg(contents.entries.size()));
    if (contents.damagedLines > 0)
        notes.append(
            QCoreApplication::translate("RunRestore", "%1 行结果无法读出，这些域名将重新查询")
                .arg(contents.damagedLines));
    return notes.isEmpty() ? QString()
                           : QCoreApplication::translate("RunRestore", "\n（日志有损坏：%1。）")
                                 .arg(notes.join(QCoreApplication::translate("RunRestore", "；")));
}

} // namespace

void offerUnfinishedRun(Form1& window) {
    RunJournal* journal = window.board().journal();
    // A journal another window's run still writes is that window's own.
    if (!journal || !journal->claim())
        return;
    const std::optional<RunJournal::Contents> contents = RunJournal::read(journal->fileName());
    if (!contents || contents->complete) {
        journal->finish();
        return;
    }
    if (contents->entries.isEmpty()) {
        journal->setAside();
        MessageBoxes::inform(
            &window, QCoreApplication::translate("RunRestore",
                                                 "上次查询的日志已损坏，无法恢复，已另存为备份。"));
        return;
    }
    const QString question =
        QCoreApplication::translate("RunRestore",
                                    "上次查询未完成（已完成 %1 / 共 %2），是否恢复结果并继续？")
            .arg(contents->records.size())
            .arg(contents->entries.size()) +
        damageNote(*contents);
    const auto answer = MessageBoxes::show(&window, {.text = question,
                                                     .title = {},
                                                     .icon = QMessageBox::Question,
                                                     .buttons = QMessageBox::Yes | QMessageBox::No,
                                                     .defaultButton = QMessageBox::Yes,
                                                     .escapeButton = QMessageBox::No});
    if (answer == QMessageBox::Yes) {
        window.continueRun(*contents);
    } else if (!journal->setAside()) {
        MessageBoxes::inform(&window,
                             QCoreApplication::translate("RunRestore", "无法移开上次查询的日志：%1")
                                 .arg(journal->fileName()));
    }
}

} // namespace ds
