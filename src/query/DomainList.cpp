#include "query/DomainList.h"

using namespace Qt::StringLiterals;

namespace ds::DomainList {

QString normaliseLineBreaks(QString text) {
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QString tidy(const QString& text) {
    QString result = normaliseLineBreaks(text);
    if (!result.endsWith(u'\n'))
        result.append(u'\n');
    // QString::replace scans left to right and resumes behind each
    // replacement, so a collapsed run never merges with what follows in the
    // same pass: that is what makes five breaks leave two.
    result.replace(u"\n\n\n"_s, u"\n"_s);
    result.replace(u"\n\n"_s, u"\n"_s);
    return result;
}

bool hasDot(QStringView text) {
    return text.contains(u'.');
}

} // namespace ds::DomainList
