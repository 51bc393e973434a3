#pragma once

#include <QString>
#include <QtGlobal>

namespace ds {

// How many names a request makes, told before any is made.
struct NameCount {
    // The most a request may make, in the window and on the command line.
    static constexpr quint64 kLimit = 100'000'000;

    quint64 value = 0;
    // Beyond what 64 bits hold: value is then meaningless, only "too many".
    bool saturated = false;
    // False when excluded shapes will drop some names: value is then the
    // most there can be.
    bool exact = true;

    bool overLimit() const { return saturated || value > kLimit; }
    // Multiplies by a factor, saturating instead of wrapping.
    void multiply(quint64 factor);

    // "将生成 456,976 个域名", or what stands in the way when over the limit.
    QString text() const;
};

// 456976 as "456,976", the way the counts are written everywhere.
QString groupedNumber(quint64 value);

} // namespace ds
