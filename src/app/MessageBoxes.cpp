#include "app/MessageBoxes.h"

#include "app/Product.h"

namespace ds::MessageBoxes {

namespace {

Hook& currentHook() {
    static Hook hook;
    return hook;
}

} // namespace

QMessageBox::StandardButton show(QWidget* parent, const MessageBoxRequest& request) {
    MessageBoxRequest shown = request;
    if (shown.title.isEmpty())
        shown.title = productTitle();
    // Copied so that a hook which replaces itself while answering stays alive
    // until it has returned.
    if (const Hook hook = currentHook())
        return hook(shown);

    QMessageBox box(shown.icon, shown.title, shown.text, shown.buttons, parent);
    box.setDefaultButton(shown.defaultButton);
    box.setEscapeButton(shown.escapeButton);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    return clicked == QMessageBox::NoButton ? shown.escapeButton : clicked;
}

void inform(QWidget* parent, const QString& text) {
    MessageBoxRequest request;
    request.text = text;
    show(parent, request);
}

void setHook(Hook hook) {
    currentHook() = std::move(hook);
}

} // namespace ds::MessageBoxes
