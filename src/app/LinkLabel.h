#pragma once

#include <QLabel>

namespace ds {

// A label that acts on a click of the left mouse button, for a text that is
// used like a link.
class LinkLabel final : public QLabel {
    Q_OBJECT

public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
};

} // namespace ds
