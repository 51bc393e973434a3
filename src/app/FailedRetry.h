#pragma once

#include "app/RetryBoard.h"
#include "lookup/Answer.h"

#include <QHash>
#include <QObject>

namespace ds {

class Form1;
class LinkLabel;

// What the "重查失败" link does: asks again about the lines of the last run
// that ended as "查询失败", and only those, putting each new record in place
// of its old one. A name that is not supported stays as it is: asking again
// would change nothing. The link works only while the list is the one the
// last run read, since results know their lines by number.
class FailedRetry final : public QObject {
    Q_OBJECT

public:
    FailedRetry(Form1& form, FormRunBoard& board, LinkLabel* link);

    // The board the engine runs over, whichever lines a run asks about.
    RunBoard& board() { return m_retryBoard; }

    // A run over the whole list is about to start: the list as it is now is
    // the one its results belong to.
    void wholeListRun();
    // Prepares a run over the failed lines; false when there are none.
    bool begin();
    // A run started, ended or was stopped: the link follows.
    void refresh();

private:
    void endRetry();

    Form1& m_form;
    FormRunBoard& m_board;
    LinkLabel* m_link;
    RetryBoard m_retryBoard;
    // The list changed since the last run read it.
    bool m_listChanged = false;
    // The journal's records of the lines asked again, for those the run does
    // not reach.
    QHash<qsizetype, LookupRecord> m_oldRecords;
};

} // namespace ds
