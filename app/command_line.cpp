#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

#include "app/app_identity.h"
#include "recording/replayed_reader_host.h"
#include "text/path_text.h"
#include "virtualreader/virtual_reader.h"

namespace corvalt {

namespace {

const QString kVirtualReader = QStringLiteral("virtual-reader");
const QString kReplay = QStringLiteral("replay");
const QString kVirtualReaderModels = QString::fromStdString(VirtualReaderModelsText());

// All of the program's options.
void AddOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Console for USB HID magnetic stripe card readers."));
    // Not addHelpOption(): its --help-all lists Qt's own options, which are
    // not taken here because the line is read before the window's
    // application exists.
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Displays this help.")});
    parser.addVersionOption();
    parser.addOption({kVirtualReader,
                      QStringLiteral("Adds a simulated card reader, with a window of its own, after the real "
                                     "readers; its PRODUCT_ID, given after a blank or '=', is %1.")
                          .arg(kVirtualReaderModels),
                      QStringLiteral("PRODUCT_ID")});
    parser.addOption({kReplay,
                      QStringLiteral("Adds a simulated card reader made from FILE, a recording in hid-recorder's "
                                     "format, after the real readers; each Swipe of its window sends the next "
                                     "recorded report."),
                      QStringLiteral("FILE")});
}

// The usage, with --virtual-reader's value shown as the optional one it is
// (the parser writes every value as <NAME>; the brackets keep the columns).
QString HelpText(const QCommandLineParser& parser)
{
    return parser.helpText().replace(QStringLiteral("--virtual-reader <PRODUCT_ID>"),
                                     QStringLiteral("--virtual-reader [PRODUCT_ID]"));
}

// Whether a word is written as an option: "--name" or "-x" with a letter.
bool IsOptionWord(const QString& word)
{
    return word.startsWith(QStringLiteral("--")) ||
           (word.size() >= 2 && word[0] == QLatin1Char('-') && word[1].isLetter());
}

// The option's value may be left out: a --virtual-reader that is the last
// argument or followed by another option stands for the default model.
// The program takes no other words, so a word after it is its value, also
// one such as "-1", which is refused as a product id, not as an option.
QStringList WithDefaultVirtualReader(QStringList arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const bool valueFollows = i + 1 < arguments.size() && !IsOptionWord(arguments[i + 1]);
        if (arguments[i] == QStringLiteral("--") + kVirtualReader && !valueFollows)
            arguments[i] += QStringLiteral("=0x%1").arg(kDefaultHidProductId, 4, 16, QLatin1Char('0'));
    }
    return arguments;
}

CommandLine ExitWith(int exitCode, QString message)
{
    CommandLine commandLine;
    commandLine.exitNow = true;
    commandLine.exitCode = exitCode;
    commandLine.message = std::move(message);
    return commandLine;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(WithDefaultVirtualReader(arguments)))
        return ExitWith(kExitUsage, parser.errorText() + QLatin1Char('\n') + HelpText(parser));
    if (!parser.positionalArguments().isEmpty()) {
        return ExitWith(
            kExitUsage,
            QStringLiteral("Unexpected argument '%1'.\n").arg(parser.positionalArguments().first()) + HelpText(parser));
    }
    if (parser.isSet(QStringLiteral("help")))
        return ExitWith(0, HelpText(parser));
    if (parser.isSet(QStringLiteral("version"))) {
        return ExitWith(0, QCoreApplication::applicationName() + QLatin1Char(' ') +
                               QCoreApplication::applicationVersion() + QLatin1Char('\n'));
    }
    CommandLine commandLine;
    if (parser.isSet(kVirtualReader)) {
        const QString value = parser.value(kVirtualReader);
        commandLine.virtualReaderProductId = VirtualReaderModelFromText(value.toStdString());
        if (commandLine.virtualReaderProductId == 0) {
            return ExitWith(kExitUsage, QStringLiteral("Unknown product id '%1' for --virtual-reader: use %2.\n")
                                                .arg(value, kVirtualReaderModels) +
                                            HelpText(parser));
        }
    }
    if (parser.isSet(kReplay)) {
        if (commandLine.virtualReaderProductId != 0)
            return ExitWith(kExitUsage, QStringLiteral("--replay excludes --virtual-reader.\n") + HelpText(parser));
        // A recording that cannot be replayed is one line, with the file
        // and the line where it goes wrong.
        commandLine.replayFile = parser.value(kReplay);
        Result<HidRecording> recording = ReadReplayableRecording(PathFromUtf8(commandLine.replayFile.toStdString()));
        if (!recording.Succeeded()) {
            return ExitWith(kExitUsage, QStringLiteral("corvalt: ") +
                                            QString::fromUtf8(kReplayRefused.data(), kReplayRefused.size()) +
                                            QString::fromStdString(recording.m_reason) + QLatin1Char('\n'));
        }
        commandLine.replay = std::move(recording.m_value);
    }
    return commandLine;
}

CommandLine ReadCommandLine(int argc, char* argv[])
{
    // A plain QCoreApplication needs no platform plugin; it is gone before
    // the window's application is made.
    QCoreApplication core(argc, argv);
    SetApplicationIdentity();
    CommandLine commandLine = ParseCommandLine(QCoreApplication::arguments());
    if (commandLine.exitNow)
        std::fputs(commandLine.message.toLocal8Bit().constData(), commandLine.exitCode == 0 ? stdout : stderr);
    return commandLine;
}

}  // namespace corvalt
