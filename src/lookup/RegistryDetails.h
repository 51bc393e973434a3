#pragma once

#include "lookup/Answer.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace ds::RegistryDetails {

// What reading RDAP and WHOIS replies shares: their dates, their status words
// and what a status means for a taken name.

// A date as registries write it: "2027-08-13T04:00:00Z", "2003-03-17 12:20:05",
// "2001/01/01", "20270813", "2003. 08. 20.", "14-Aug-1995", "17-04-2001",
// "Tue Oct 6 2020" ... The date as written, without moving it to UTC. A null
// date for anything else, two-digit years included.
QDate readDate(QStringView text);

// One status as an EPP code: "client transfer prohibited", "CLIENT HOLD" and
// "Active" become "clientTransferProhibited", "clientHold" and "active"; a
// code stays as it is.
QString eppCode(QStringView status);

// When a name in redemption or pending delete is expected to be free: 5 days
// after the date of a pending delete, 35 after that of a redemption. The
// status's own date serves, else the last change; without either, none.
QDate estimatedRelease(const QStringList& status, QDate statusDate, QDate lastChanged);

// A taken name whose status says it is in redemption or pending delete gets
// that verdict; every other verdict stays as it is.
Verdict refinedVerdict(Verdict verdict, const Details& details);

} // namespace ds::RegistryDetails
