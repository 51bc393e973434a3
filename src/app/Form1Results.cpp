#include "app/ClipboardCopy.h"
#include "app/Form1.h"
#include "app/LineBox.h"
#include "app/MessageBoxes.h"
#include "app/ResultsFile.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>

#include <memory>

namespace ds {

// A result line's tooltip says how its answer was had.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::eventFilter(watched, event);
    for (LineBox* box : {m_Text1, m_Text2}) {
        if (watched != box->viewport())
            continue;
        const qsizetype line = box->lineAt(static_cast<QHelpEvent*>(event)->pos());
        const QString tip = line < 0 ? QString() : m_board.lineTip(box->tag(line));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, box);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Command4_Click() {
    const QString text = ClipboardCopy::freeDomains(m_Text1->toPlainText());
    if (!ClipboardCopy::putOnClipboard(QGuiApplication::clipboard(), text)) {
        MessageBoxes::inform(this, tr("无法访问剪贴板，域名没有复制。请稍后再试。"));
        return;
    }
    MessageBoxes::inform(this, tr("全部域名复制成功，您可以粘贴到任意处！"));
}

void Form1::showResultMenu(LineBox* box, const QPoint& position) {
    std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
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
        ResultsFile::exportBoxes(this, path, {m_Text1, m_Text2},
                                 [this](int facts) { return m_board.answerOf(facts); });
}

} // namespace ds
