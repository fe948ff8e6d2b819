#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string_view>
#include <utility>

#include "cli/cli_texts.h"
#include "cli/hex_words.h"
#include "config/user_sentinel_controls.h"
#include "console/command_text.h"
#include "virtualreader/virtual_reader.h"

namespace corvalt {

namespace {

constexpr std::string_view kVirtualReaderOption = "--virtual-reader";

// The names an option takes and the value each one sets.
using Choices = std::vector<std::pair<std::string, int>>;

std::string Joined(const std::vector<std::string>& words, std::string_view separator)
{
    std::string text;
    for (const std::string& word : words)
        text.append(text.empty() ? "" : separator).append(word);
    return text;
}

// An option that takes one of the names and sets the field to its value.
CLI::Option* AddChoice(CLI::App& app, const std::string& name, const Choices& choices, int& field,
                       const std::string& help)
{
    std::vector<std::string> names;
    for (const auto& choice : choices)
        names.push_back(choice.first);
    const auto choose = [&field, choices](const std::string& chosen) {
        for (const auto& [choiceName, value] : choices)
            if (choiceName == chosen)
                field = value;
    };
    const auto check = [names](const std::string& chosen) {
        return std::ranges::find(names, chosen) != names.end() ? std::string()
                                                               : "'" + chosen + "' is none of " + Joined(names, ", ");
    };
    return app.add_option_function<std::string>(name, choose, help)
        ->check(CLI::Validator(check, "", name))
        ->type_name(Joined(names, "|"));
}

// "none", or tracks from 1 to 3 separated by commas.
std::string TrackListError(const std::string& list)
{
    const std::string error = "'" + list + "' is not a list of tracks: 1, 2 and 3 separated by commas, or none";
    if (list == "none")
        return {};
    if (list.empty() || list.back() == ',')
        return error;
    std::stringstream items(list);
    for (std::string item; std::getline(items, item, ',');)
        if (item != "1" && item != "2" && item != "3")
            return error;
    return {};
}

// The words as the parser is to take them. A bare --virtual-reader stands
// for the default model, as in the window; a value is given after "=", so
// the word after the option is never taken for one. An option ended by "="
// has an empty value (an empty variable, "--device=$PATH"), which the
// parser would otherwise take from the next word: "--device= --all" named
// "--all" as the device.
std::vector<std::string> SpelledOut(const std::vector<std::string>& arguments)
{
    char defaultModel[8];
    std::snprintf(defaultModel, sizeof defaultModel, "0x%04X", static_cast<unsigned>(kDefaultHidProductId));
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        optionsEnded = optionsEnded || argument == "--";
        if (!optionsEnded && argument == kVirtualReaderOption) {
            words.push_back(argument + "=" + defaultModel);
        } else if (!optionsEnded && argument.size() > 3 && argument.starts_with("--") && argument.ends_with('=') &&
                   argument.find('=') == argument.size() - 1) {
            words.push_back(argument.substr(0, argument.size() - 1));
            words.emplace_back();
        } else {
            words.push_back(argument);
        }
    }
    return words;
}

CliExit UsageError(const std::string& message)
{
    return {kExitUsage, message + "\nRun with --help for more information.\n"};
}

}  // namespace

std::variant<CliOptions, CliExit> ParseCliArguments(const std::vector<std::string>& arguments)
{
    CliOptions options;
    PanelSettings& settings = options.panels.settings;

    CLI::App app("USB HID magnetic stripe card readers from a shell, with the engine of corvalt's window.",
                 "corvalt-cli");
    app.set_version_flag("--version", "corvalt-cli " CORVALT_VERSION);
    app.footer(std::string(kHelpFooter));
    app.require_subcommand(1);
    app.fallthrough();
    // On Windows CLI11 would take "/name" for an option: a script's path
    // such as /scripts/setup.txt must stay a path there too. The
    // sub-commands made below inherit it.
    app.allow_windows_style_options(false);

    CLI::Option* device =
        app.add_option("--device", options.devicePath, std::string(kDeviceOptionHelp))
            ->type_name("PATH")
            // An empty variable must not stand for "the first reader".
            ->check(CLI::Validator(
                [](std::string& path) { return path.empty() ? "an empty path names no device" : std::string(); }, "",
                "path"));
    CLI::Option* all = app.add_flag("--all", options.allReaders,
                                    "send, run or set on every supported reader attached, one after the other");
    std::string match;
    CLI::Option* matchOption =
        app.add_option("--match", match, "Only the interfaces with these ids, in hex; either may be *, e.g. 0801:*")
            ->type_name("VID:PID")
            ->check(CLI::Validator(
                [](std::string& value) {
                    return ParseIdMatch(value) ? std::string()
                                               : "'" + value + "' is not VID:PID, two hex ids or * separated by ':'";
                },
                "", "ids"));
    CLI::Option* replay =
        app.add_option("--replay", options.replayPath,
                       "A simulated reader after the real ones, made from a recording of hid-recorder's format")
            ->type_name("FILE");
    std::string virtualReader;
    CLI::Option* virtualReaderOption =
        app.add_option(std::string(kVirtualReaderOption), virtualReader,
                       "A simulated reader after the real ones; its PRODUCT_ID, given after '=', is " +
                           VirtualReaderModelsText())
            ->type_name("[=PRODUCT_ID]")
            ->check(CLI::Validator(
                [](std::string& value) {
                    return VirtualReaderModelFromText(value) != 0
                               ? std::string()
                               : "'" + value + "' is none of the virtual reader's models, " + VirtualReaderModelsText();
                },
                "", "model"));

    CLI::App* list = app.add_subcommand("list", "Every HID interface the host sees, one line each");
    list->add_flag("--verbose", options.verbose, "Add the report lengths and why a descriptor was refused");
    list->add_flag("--json", options.json, "One JSON document: an array with an object for each interface");

    CLI::App* watch = app.add_subcommand(
        "watch", "Wait for swipes and print each decoded swipe (Ctrl+C, --count or --timeout ends it)");
    watch->add_flag("--json", options.json, "One JSON object a line, stamped with the time of the swipe");
    double timeoutSeconds = 0;
    const auto addBounds = [&options, &timeoutSeconds](CLI::App& command, const std::string& what) {
        command.add_option("--count", options.count, "End after N " + what + " (exit status 0)")
            ->type_name("N")
            ->check(CLI::Validator(CLI::PositiveNumber).description(""));
        command
            .add_option("--timeout", timeoutSeconds,
                        "End after this long; exit status 1 when a --count was not reached by then")
            ->type_name("SECONDS")
            ->check((CLI::PositiveNumber & CLI::Range(0.0, 1e9)).description(""));
    };
    addBounds(*watch, "swipes");

    CLI::App* send = app.add_subcommand("send", "Send one command; its words are joined with blanks");
    bool raw = false;
    send->add_flag("--raw", raw, "Send the second byte as the length byte, as typed");
    std::vector<std::string> words;
    send->add_option("HEX", words, "The command's bytes in hexadecimal, e.g. 01 10 00 or 0x01 0x10 0x00")->required();

    CLI::App* run = app.add_subcommand("run", "Play a command script as \"Load File\" + \"Download\" do");
    run->add_option("SCRIPT", options.scriptPath, "The script file, or - for standard input")->required();

    CLI::App* record = app.add_subcommand(
        "record", "Record the reader's descriptor and input reports as hid-recorder does (Ctrl+C ends it)");
    addBounds(*record, "reports");
    record->add_option("FILE", options.recordPath, "The recording, or - for standard output")->required();

    CLI::App* set = app.add_subcommand("set", "Send what the settings panels' Apply buttons send");
    CLI::Option* interface = AddChoice(*set, "--interface", {{"hid", 0}, {"keyboard", 1}}, settings.m_nInterfaceMode,
                                       "\"USB Hid Mode\": \"Hid MSR\" or \"Emulate Keyboard\"");
    std::string tracks;
    CLI::Option* trackOption =
        set->add_option("--tracks", tracks, "\"Select Track\": tracks from 1,2,3 separated by commas, or none")
            ->type_name("LIST")
            ->check(CLI::Validator(TrackListError, "", "tracks"));
    CLI::Option* format = AddChoice(
        *set, "--format", {{"data-enter", 0}, {"leading", 1}, {"ss-data-es", 2}, {"ss-data-es-enter", 3}, {"user", 4}},
        settings.m_nDataFormat, "\"Magnetic Card Data Format\", in the order of its radio buttons");
    bool enterChecked = false;
    bool enterCleared = false;
    const std::vector<CLI::Option*> formatChoices = {
        AddChoice(*set, "--track3-start", {{";", 0}, {"+", 1}, {"#", 2}}, settings.m_nTrack3StartSentinel,
                  "\"Start Sentinel of Track 3\""),
        AddChoice(*set, "--user-mode", {{"specific", 0}, {"literal", 1}, {"toggle", 2}}, settings.m_nUserSentinelMode,
                  "\"User Sentinel Mode\""),
        AddChoice(*set, "--position", {{"start", 0}, {"end", 1}}, settings.m_nSentinelPosition,
                  "\"Sentinel Position\""),
        AddChoice(*set, "--sentinel-track", {{"1", 0}, {"2", 1}, {"3", 2}}, settings.m_nSentinelTrack, "\"Track\""),
        set->add_flag_callback(
            "--ctrl", [&settings] { settings.m_bCtrl = true; }, "\"Ctrl\""),
        set->add_flag_callback(
            "--alt", [&settings] { settings.m_bAlt = true; }, "\"Alt\""),
        set->add_flag("--enter", enterChecked, "\"Enter\" checked (by default it is with the user format)"),
        set->add_flag("--no-enter", enterCleared, "\"Enter\" cleared"),
        set->add_option("--key", settings.m_strSpecificSentinel, "\"Specific Sentinel\": the key")->type_name("TEXT"),
        set->add_option("--literal", settings.m_strLiteralSentinel, "\"Literal Sentinel:\" the text")
            ->type_name("TEXT"),
    };
    CLI::Option* enter = formatChoices[6];
    CLI::Option* noEnter = formatChoices[7];
    CLI::Option* errorString = AddChoice(*set, "--error-string", {{"on", 0}, {"off", 1}}, settings.m_nSendErrorString,
                                         "\"Send Error String\": Enable or Disable");
    CLI::Option* errorStringSentinel =
        AddChoice(*set, "--error-string-sentinel", {{"on", 0}, {"off", 1}}, settings.m_nErrorStringSentinel,
                  "\"User Sentinel + Error String\": With Sentinel or No Sentinel");

    // Each sub-command's help lists the global options too, and the options
    // that exclude each other say so in words, not glued to their names.
    const CLI::Formatter formatter;
    std::string globals = "Global options, before or after the sub-command:\n";
    for (const CLI::Option* option : {device, all, matchOption, replay, virtualReaderOption})
        globals += formatter.make_option(option, false);
    for (CLI::App* subCommand : {list, watch, send, run, record, set})
        subCommand->footer(globals + "\n" + std::string(kHelpFooter));

    std::vector<const char*> argv;
    const std::vector<std::string> spelledOut = SpelledOut(arguments);
    for (const std::string& argument : spelledOut)
        argv.push_back(argument.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        std::ostringstream out, err;
        const int exitCode = app.exit(error, out, err);
        if (exitCode == 0)
            return CliExit{kExitSuccess, out.str()};
        return CliExit{kExitUsage, err.str()};
    }

    if (device->count() > 0 && all->count() > 0)
        return UsageError("--device excludes --all");
    // One simulated reader at a time, as in the window, where the Virtual
    // Reader window swipes the one there is.
    if (replay->count() > 0 && virtualReaderOption->count() > 0)
        return UsageError("--replay excludes --virtual-reader");
    if (enter->count() > 0 && noEnter->count() > 0)
        return UsageError("--enter excludes --no-enter");
    options.virtualReaderProductId = VirtualReaderModelFromText(virtualReader);
    if (!match.empty())
        options.match = ParseIdMatch(match);
    if (options.allReaders && (list->parsed() || watch->parsed() || record->parsed()))
        return UsageError("--all is taken by send, run and set, not by " + app.get_subcommands().front()->get_name());

    if (list->parsed()) {
        options.subCommand = SubCommand::kList;
    } else if (watch->parsed()) {
        options.subCommand = SubCommand::kWatch;
        options.timeoutMs = static_cast<uint64_t>(timeoutSeconds * 1000.0 + 0.5);
    } else if (send->parsed()) {
        options.subCommand = SubCommand::kSend;
        options.autoAddLength = !raw;
        if (IsDelayCommand(ParseCommandLine(Joined(words, " "))))
            return UsageError("A delay is a line of a script (corvalt-cli run), not a command to send");
        const Result<std::string> command = CommandFromHexWords(words);
        if (!command.Succeeded())
            return UsageError(command.m_reason);
        options.command = command.m_value;
        if (raw && options.command.find(' ') == std::string::npos)
            return UsageError("--raw: the length byte must follow the command byte");
    } else if (run->parsed()) {
        options.subCommand = SubCommand::kRun;
    } else if (record->parsed()) {
        options.subCommand = SubCommand::kRecord;
        options.timeoutMs = static_cast<uint64_t>(timeoutSeconds * 1000.0 + 0.5);
    } else {
        options.subCommand = SubCommand::kSet;
        PanelChoices& panels = options.panels;
        panels.interfaceMode = interface->count() > 0;
        panels.tracks = trackOption->count() > 0;
        panels.dataFormat = format->count() > 0;
        panels.sendErrorString = errorString->count() > 0;
        panels.errorStringSentinel = errorStringSentinel->count() > 0;
        if (!panels.interfaceMode && !panels.tracks && !panels.dataFormat && !panels.sendErrorString &&
            !panels.errorStringSentinel)
            return UsageError(
                "set needs the options of at least one panel: --interface, --tracks, --format, "
                "--error-string or --error-string-sentinel");
        for (const CLI::Option* choice : formatChoices)
            if (choice->count() > 0 && !panels.dataFormat)
                return UsageError(choice->get_name() + " is a choice of the data format panel: give --format too");
        if (panels.tracks) {
            settings.m_bTrack1 = tracks.find('1') != std::string::npos;
            settings.m_bTrack2 = tracks.find('2') != std::string::npos;
            settings.m_bTrack3 = tracks.find('3') != std::string::npos;
        }
        // "Enter" as the panel's rule sets it when the format is chosen,
        // unless the command line says otherwise.
        settings.m_bEnter = UserSentinelControls(settings.m_nDataFormat, settings.m_nUserSentinelMode).m_enter;
        if (enterChecked || enterCleared)
            settings.m_bEnter = enterChecked;
    }
    return options;
}

}  // namespace corvalt
