// The "生成" link, with the names it writes into the list, and "问题处理".

#include "app/Form1.h"
#include "app/GeneratorDialog.h"
#include "app/ListFiller.h"
#include "app/MessageBoxes.h"

namespace ds {

void Form1::wenticc_Click() {
    m_openUrl(m_config.supportUrl);
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

} // namespace ds
