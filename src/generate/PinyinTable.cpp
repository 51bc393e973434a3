#include "generate/PinyinTable.h"

#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace ds {

const PinyinTable& PinyinTable::builtIn() {
    static const PinyinTable table = [] {
        QFile file(u":/domainsieve/generate/pinyin.txt"_s);
        // A resource compiled into the program: failing to open it is a broken build.
        if (!file.open(QIODevice::ReadOnly))
            qFatal("the pinyin list is missing from the program's resources");
        return parse(QString::fromUtf8(file.readAll()));
    }();
    return table;
}

PinyinTable PinyinTable::parse(const QString& text) {
    PinyinTable table;
    QStringList* section = nullptr;
    static const QRegularExpression space(u"\\s+"_s);
    for (const QString& rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line == "[initials]"_L1)
            section = &table.initials;
        else if (line == "[finals]"_L1)
            section = &table.finals;
        else if (line == "[syllables]"_L1)
            section = &table.syllables;
        else if (section)
            *section += line.split(space, Qt::SkipEmptyParts);
    }
    return table;
}

} // namespace ds
