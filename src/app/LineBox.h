#pragma once

#include "app/LineStore.h"

#include <QAbstractScrollArea>

#include <compare>
#include <memory>
#include <vector>

class QMenu;
class QTextLayout;

namespace ds {

// A result box: lines that are read, selected and copied, never typed. It
// keeps them in a LineStore and lays out only the lines in view, so a million
// results cost about what their text does. It looks like a plain text box,
// wraps a line too long for its width, and scrolls a line at a time.
class LineBox final : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit LineBox(QWidget* parent = nullptr);
    ~LineBox() override;

    qsizetype lineCount() const { return m_lines.size(); }
    QString line(qsizetype number) const { return m_lines.line(number); }
    // The number given with the line, -1 for none.
    int tag(qsizetype number) const { return m_lines.tag(number); }
    qsizetype findTag(int tag, qsizetype hint) const { return m_lines.find(tag, hint); }

    void appendLine(const QString& line, int tag = -1);
    void replaceLine(qsizetype number, const QString& line, int tag);
    void removeLine(qsizetype number);
    void clear();
    void setPlainText(const QString& text);
    // Every line followed by a line break.
    QString toPlainText() const { return m_lines.text(); }

    QString selectedText() const;
    void selectAll();
    void selectLines(qsizetype first, qsizetype last);
    void copy() const;
    // The line drawn at a point of the viewport; -1 below the last one.
    qsizetype lineAt(const QPoint& position) const;
    // "复制" and "全选", for the box's context menu.
    QMenu* createStandardContextMenu();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // A place between characters: a line and a column in its UTF-16 text.
    struct Place {
        qsizetype line = 0;
        qsizetype column = 0;
        auto operator<=>(const Place&) const = default;
    };
    // A line in view and where it is drawn.
    struct Shown {
        qsizetype line = 0;
        qreal top = 0;
        std::unique_ptr<QTextLayout> layout;
    };

    // The room a plain text box leaves around its text.
    static constexpr qreal Margin = 4;

    void layOut(QTextLayout& layout) const;
    qreal lineHeight(qsizetype number) const;
    const std::vector<Shown>& shownLines() const;
    Place placeAt(const QPoint& position) const;
    void changed();
    void updateScrollRange();
    void dropSelection();

    LineStore m_lines;
    Place m_anchor;
    Place m_caret;
    // Recomputed when the text, the width or the scroll position change.
    mutable std::vector<Shown> m_shown;
    mutable bool m_shownCurrent = false;
    bool m_rangePending = false;
};

} // namespace ds
