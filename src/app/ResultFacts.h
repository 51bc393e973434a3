#pragma once

#include "lookup/Answer.h"

#include <QCoreApplication>
#include <QDate>
#include <QHash>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace ds {

// What each result line's answer was besides its text: how it was had
// (method, server, HTTP status, reason) and, for a taken name, its registrar,
// dates and status. A line keeps only the number of its facts; the texts are
// kept once each, as a million lines share a handful of servers and reasons.
class ResultFacts {
    Q_DECLARE_TR_FUNCTIONS(ResultFacts)

public:
    // The facts of a new result line; their number.
    int note(qsizetype entry, const LookupRecord& record);
    void clear();

    // The answer kept, without the entry and verdict the line's text gives;
    // nullopt for a number no record gave.
    std::optional<Answer> answer(int facts) const;
    // The line's tooltip; empty for a number no record gave.
    QString tip(int facts) const;
    // The list entry whose lookup failed; -1 when these are not a failure's.
    qsizetype failedEntry(int facts) const;

private:
    // Twenty-four bytes a line: a list has fewer than 2^31 lines, as a text box
    // numbers its blocks with an int.
    struct Facts {
        std::int32_t entry = 0;
        std::int32_t server = 0;
        std::int32_t detail = 0;
        // Into m_details; -1 when the reply gave none.
        std::int32_t details = -1;
        std::int16_t httpStatus = 0;
        std::uint8_t method = 0;
        std::uint8_t verdict = 0;
        // The server's pace when it answered, in hundredths of a request per
        // second (0.05 is the slowest, 100 the fastest); 0 when not known.
        std::uint16_t rateHundredths = 0;
    };
    struct KeptDetails {
        int registrar = 0;
        int registrarIanaId = 0;
        int status = 0;
        QDate created;
        QDate expires;
        QDate lastChanged;
        QDate releases;
    };

    bool known(int facts) const { return facts >= 0 && std::size_t(facts) < m_facts.size(); }
    int textIndex(const QString& text);
    static QStringList detailsTip(const Details& details);

    std::deque<Facts> m_facts;
    std::vector<KeptDetails> m_details;
    QStringList m_texts;
    QHash<QString, int> m_textIndex;
};

} // namespace ds
