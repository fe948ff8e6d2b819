#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

#include "app/app_identity.h"

namespace corvalt {

namespace {

// All of the program's options.
void AddOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Console for USB HID magnetic stripe card readers."));
    // Not addHelpOption(): its --help-all lists Qt's own options, which are
    // not taken here because the line is read before the window's
    // application exists.
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Displays this help.")});
    parser.addVersionOption();
}

CommandLine ExitWith(int exitCode, QString message)
{
    return CommandLine{.bExit = true, .exitCode = exitCode, .message = std::move(message)};
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(arguments))
        return ExitWith(kExitUsage, parser.errorText() + QLatin1Char('\n') + parser.helpText());
    if (!parser.positionalArguments().isEmpty()) {
        return ExitWith(kExitUsage, QStringLiteral("Unexpected argument '%1'.\n").arg(parser.positionalArguments().first()) +
                                        parser.helpText());
    }
    if (parser.isSet(QStringLiteral("help")))
        return ExitWith(0, parser.helpText());
    if (parser.isSet(QStringLiteral("version"))) {
        return ExitWith(0, QCoreApplication::applicationName() + QLatin1Char(' ') +
                               QCoreApplication::applicationVersion() + QLatin1Char('\n'));
    }
    return CommandLine{};
}

CommandLine ReadCommandLine(int argc, char* argv[])
{
    // A plain QCoreApplication needs no platform plugin; it is gone before
    // the window's application is made.
    QCoreApplication core(argc, argv);
    SetApplicationIdentity();
    CommandLine commandLine = ParseCommandLine(QCoreApplication::arguments());
    if (commandLine.bExit)
        std::fputs(commandLine.message.toLocal8Bit().constData(), commandLine.exitCode == 0 ? stdout : stderr);
    return commandLine;
}

}  // namespace corvalt
