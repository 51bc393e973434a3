#pragma once

#include "format/RecordFormat.h"
#include "lookup/Answer.h"

#include <QJsonObject>
#include <QString>
#include <QStringView>

#include <optional>

namespace ds {

// One record as a line of text in each format a run writes and reads back:
// the window's "name|可注册", TSV, CSV (RFC 4180) and JSON Lines. The batch
// output, the window's export and the journal all go through here, so that
// what one writes the others can read.
namespace RecordLines {

// The window's word for a verdict: 可注册, 已被注册, 赎回期, 待删除, 已保留,
// 查询失败, 格式错误 or 不支持的后缀, or its translation when one is installed (the batch mode
// installs none).
QString verdictWord(Verdict verdict);
// The window's word for how an answer was had: 注册商接口, 注册局（RDAP）...
QString methodWord(Method method);
// Free names go to the free box (Text1); every other record to Text2.
inline bool belongsInFreeBox(Verdict verdict) {
    return verdict == Verdict::Free;
}
// "name|可注册" and its kin.
QString windowLine(const LookupRecord& record);

// The header row of a format, empty when it has none.
QString header(RecordFormat format);
// The record without its line ending; line endings come from lineEnding().
QString line(RecordFormat format, const LookupRecord& record);
QLatin1StringView lineEnding(RecordFormat format);

QJsonObject toJson(const LookupRecord& record);
std::optional<LookupRecord> fromJson(const QJsonObject& object);

// What a line written by line() says: the name as given and the verdict. A
// window line reads back in Chinese and in the language shown.
// nullopt for a header, a blank line or anything that is not a whole record.
struct NameVerdict {
    QString name;
    Verdict verdict = Verdict::Failed;
};
std::optional<NameVerdict> read(RecordFormat format, QStringView line);

} // namespace RecordLines
} // namespace ds
