#include "batch/GenerateCommand.h"

#include "config/ParsedCommandLine.h"
#include "generate/NameGenerator.h"
#include "platform/ConsoleText.h"

#include <QCommandLineParser>
#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

struct GenerateOptions {
    GeneratorRequest request;
    bool countOnly = false;
};

using GenerateCommandLine = ParsedCommandLine<GenerateOptions>;

void tell(const QString& message) {
    platform::writeText(stderr, u"domainsieve gen: "_s + message + u'\n');
}

// One word a line; blank lines are passed over. The reason, naming the file
// and line, when the file cannot be read or a word cannot stand in a name.
QString readWords(const QString& path, QStringList& words) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return u"cannot read %1: %2"_s.arg(path, file.errorString());
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString word = QString::fromUtf8(file.readLine()).trimmed();
        if (word.isEmpty())
            continue;
        if (const QString problem = literalProblem(word); !problem.isEmpty())
            return u"%1, line %2: %3"_s.arg(path).arg(lineNumber).arg(problem);
        words.append(word);
    }
    return {};
}

GenerateCommandLine parseGenerateCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Writes the names a pattern makes to standard output, one per line, as they are "
        u"made. Classes: N digit, L letter, X letter or digit, C pinyin initial, V pinyin "
        u"final, P pinyin syllable; [a-f] a set, {ab,cd} alternatives, {AABB:N} a shape, "
        u"\"text\" a literal. At most 100,000,000 names."_s);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption tld(
        u"tld"_s, u"TLDs after each name: .com,.net,.cn, or @all, @gtld, @cctld."_s, u"LIST"_s);
    const QCommandLineOption prefixFile(u"prefix-file"_s,
                                        u"Words put before each name, one a line."_s, u"FILE"_s);
    const QCommandLineOption suffixFile(u"suffix-file"_s,
                                        u"Words put after each name, one a line."_s, u"FILE"_s);
    const QCommandLineOption exclude(
        u"exclude"_s, u"Characters the classes never pick (4), or shapes no name holds (AAA)."_s,
        u"LIST"_s);
    const QCommandLineOption count(u"count"_s, u"Print only how many names there are."_s);
    parser.addOptions({tld, prefixFile, suffixFile, exclude, count});
    parser.addPositionalArgument(u"gen"_s, u"Generator mode."_s, u"gen"_s);
    parser.addPositionalArgument(u"PATTERN"_s, u"What each name looks like."_s);

    if (auto settled = settleCommonOptions<GenerateOptions>(parser, arguments, help, version))
        return *settled;
    const QStringList positional = parser.positionalArguments().mid(1);
    if (positional.size() != 1)
        return GenerateCommandLine::failure(
            positional.isEmpty() ? u"no pattern given"_s
                                 : u"one pattern only; quote it if it holds spaces"_s);
    GenerateCommandLine outcome;
    GeneratorRequest& request = outcome.options.request;
    request.pattern = positional.constFirst();
    request.tlds = parser.values(tld).join(u',');
    request.exclusions = parser.values(exclude).join(u',');
    outcome.options.countOnly = parser.isSet(count);
    for (const auto& [option, words] :
         {std::pair{&prefixFile, &request.prefixes}, std::pair{&suffixFile, &request.suffixes}}) {
        if (!parser.isSet(*option))
            continue;
        if (const QString trouble = readWords(parser.value(*option), *words); !trouble.isEmpty())
            return GenerateCommandLine::failure(trouble);
    }
    return outcome;
}

// Names are gathered into blocks, so that writing costs one call per block
// rather than per name, and memory stays that of one block. A Windows console
// gets them as characters, a file or pipe as UTF-8.
bool writeNames(NameGenerator& generator) {
    constexpr qsizetype BlockChars = 64 * 1024;
    QString block;
    block.reserve(BlockChars + 512);
    QString name;
    const auto flush = [&block] {
        const bool whole = platform::writeText(stdout, block);
        block.clear();
        return whole;
    };
    while (generator.next(name)) {
        block += name;
        block += u'\n';
        if (block.size() >= BlockChars && !flush())
            return false;
    }
    return flush();
}

} // namespace

int runGenerate(const QStringList& arguments) {
    const GenerateCommandLine line = parseGenerateCommandLine(arguments);
    if (line.status == GenerateCommandLine::Status::Fail) {
        tell(line.message + u"\n(domainsieve gen --help lists the options)"_s);
        return 2;
    }
    if (const std::optional<int> code = line.printUnlessRun())
        return *code;
    QString error;
    std::optional<NameGenerator> generator = NameGenerator::create(line.options.request, &error);
    if (!generator) {
        tell(error);
        return 2;
    }
    if (line.options.countOnly) {
        const quint64 total =
            generator->count().exact ? generator->count().value : generator->countByMaking();
        std::printf("%llu\n", static_cast<unsigned long long>(total));
        return 0;
    }
    tell(generator->count().text());
    if (!writeNames(*generator)) {
        tell(u"writing the names failed"_s);
        return 1;
    }
    return 0;
}

} // namespace ds
