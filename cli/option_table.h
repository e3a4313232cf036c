// The command line's options as data. Each command is one table: per option
// its name, whether it takes a value, the help text and what it sets. The
// parser, the --help text, the manual page and the shell completion are all
// made from these tables, so an option is added in one place.
#pragma once

#include "cli/cli.h"
#include "platform/translate.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mirufo::cli {

enum class TValueKind {
  None,     // --flag
  Required, // --name VALUE or --name=VALUE
  Optional, // --name or --name=VALUE
};

// What the generated texts need to know of an option.
struct TOptionInfo {
  std::string Name; // with the leading "--"
  TValueKind Kind = TValueKind::None;
  std::string ValueName; // shown after the name: "1..100", "フォルダ"
  std::string Help;      // one line (UTF-8, through Tr when shown)
  std::string Group;     // heading the option is listed under
  // Fixed values, offered by the shell completion. Empty: anything.
  std::vector<std::string> Choices;
  // Special completion of the value: "handsets", "sets", "files", "dirs".
  std::string Complete;
};

// A command's texts for --help, the manual page and the completion.
struct TCommandDoc {
  std::string Name;
  std::string Synopsis;    // after "mirufo-cli NAME"
  std::string Summary;     // one line
  std::string Description; // paragraphs separated by empty lines
  std::vector<TOptionInfo> Options;
  std::string Notes;           // after the options: exit statuses and such
  std::string OperandComplete; // how the operand completes: "files" or ""
  // Command lines with what each does, for the manual page.
  std::vector<std::pair<std::string, std::string>> Examples;
};

template <typename Args> struct TOption {
  TOptionInfo Info;
  // Stores the value (empty for TValueKind::None, or an absent optional
  // value) into the arguments. Raises EUsageError for a value it refuses.
  std::function<void(Args&, const std::optional<std::string>&)> Set;
};

template <typename Args> struct TCommand {
  TCommandDoc Doc; // Doc.Options is filled from Options by DocOf
  std::vector<TOption<Args>> Options;
  // Takes an operand (an argument that is not an option); null when the
  // command takes none.
  std::function<void(Args&, const std::string&)> Operand;
};

template <typename Args> TCommandDoc DocOf(const TCommand<Args>& command) {
  TCommandDoc doc = command.Doc;
  doc.Options.clear();
  for (const TOption<Args>& option : command.Options)
    doc.Options.push_back(option.Info);
  // --help is listed last, under the last option's heading.
  const std::string group = doc.Options.empty() ? "" : doc.Options.back().Group;
  doc.Options.push_back(
      {"--help", TValueKind::None, "", N_("この説明を表示します"), group, {}, ""});
  return doc;
}

// The option --list FILE (repeatable) of the commands that read handset
// lists: each FILE is merged into the working set as user handsets.
template <typename Args> TOption<Args> HandsetListOption(std::vector<std::string> Args::*field) {
  return {{"--list",
           TValueKind::Required,
           N_("ファイル"),
           N_("端末リストファイル (TL1/TL2) の端末をユーザー定義端末として加える "
              "(何度でも指定できます)"),
           N_("端末の選択"),
           {},
           "files"},
          [field](Args& a, const std::optional<std::string>& v) { (a.*field).push_back(*v); }};
}

// An integer written as decimal digits with an optional sign, nothing
// before or after, within low..high. Anything else raises EUsageError
// naming the option and the value.
int StrictInteger(const std::string& option, const std::string& value, int low, int high);

// Raises the usage error of a value the option does not take.
[[noreturn]] void BadValue(const std::string& option, const std::string& value);

// Parses the arguments after the command name by the table. "--name=value"
// and "--name value" both give a required value; an optional value is only
// taken after "=". "--" ends the options. Returns false when --help or -h
// was given (the arguments are then not complete).
template <typename Args>
bool ParseOptions(const TCommand<Args>& command, const std::vector<std::string>& args,
                  Args& parsed) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!isOption) {
      if (!command.Operand)
        throw EUsageError(Tr("余分な引数です: ") + arg);
      command.Operand(parsed, arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h")
      return false;
    std::string name = arg;
    std::optional<std::string> value;
    if (std::size_t eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    const TOption<Args>* found = nullptr;
    for (const TOption<Args>& option : command.Options)
      if (option.Info.Name == name)
        found = &option;
    if (!found)
      throw EUsageError(Tr("知らないオプションです: ") + name);
    switch (found->Info.Kind) {
    case TValueKind::None:
      if (value)
        throw EUsageError(name + Tr(" は値をとりません"));
      break;
    case TValueKind::Required:
      if (!value) {
        if (i + 1 >= args.size())
          throw EUsageError(name + Tr(" には値が必要です"));
        value = args[++i];
      }
      break;
    case TValueKind::Optional:
      break;
    }
    found->Set(parsed, value);
  }
  return true;
}

} // namespace mirufo::cli
