#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ds {

// The TLDs a generated name may end in: a list such as ".com,.net,.cn", or
// named sets: "@all" (every TLD the shipped RDAP bootstrap and WHOIS table
// know), "@gtld" (the common generic ones) and "@cctld" (the two-letter ones
// of those two tables).
namespace TldSets {

QStringList setNames();

// The TLDs in the order given, each once, without the leading dot; nullopt
// with the reason when an item is no usable TLD or names no set.
std::optional<QStringList> parse(const QString& text, QString* error);

} // namespace TldSets

} // namespace ds
