#pragma once

#include "generate/NameGenerator.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QPlainTextEdit;
class QProgressDialog;
class QWidget;

namespace ds {

// Writes a generator's names into a list box a slice at a time between the
// window's events, so that the window never stops answering. Past a second
// a progress dialog shows how far it got and offers to cancel; a cancelled
// fill leaves the list as it was before.
class ListFiller final : public QObject {
    Q_OBJECT

public:
    ListFiller(QPlainTextEdit* box, NameGenerator generator, bool append, QWidget* parent);
    ~ListFiller() override;

    void start();
    void cancel();
    bool isRunning() const { return m_running; }
    // How long each slice may take before the window gets its turn, and the
    // bounds of the names it puts in.
    static constexpr int kSliceMs = 15;
    static constexpr int kSmallestSlice = 64;
    static constexpr int kLargestSlice = 100'000;

signals:
    // completed is false when the fill was cancelled.
    void finished(bool completed);

private:
    void fillSlice();
    void end(bool completed);

    QPlainTextEdit* m_box;
    NameGenerator m_generator;
    bool m_append;
    QWidget* m_parent;
    QPointer<QProgressDialog> m_progress;
    // Replacing: the list as it was, put back on cancel. Appending: where the
    // new names begin, removed from there on cancel.
    QString m_previous;
    int m_appendedFrom = 0;
    bool m_undoWasEnabled = true;
    bool m_needsBreak = false;
    bool m_running = false;
    quint64 m_made = 0;
    int m_sliceNames = 1000;
};

} // namespace ds
