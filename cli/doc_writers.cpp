#include "cli/doc_writers.h"

#include "platform/translate.h"

#include <map>
#include <ostream>
#include <sstream>
#include <string_view>

#ifndef MIRUFO_VERSION
#define MIRUFO_VERSION "0"
#endif

namespace mirufo::cli {
namespace {

constexpr const char* kProgramSummary = N_("ひとつの画像から携帯電話の待受画像を作ります。");
constexpr const char* kDataFolderText = N_(
    "ユーザー定義の端末 (\"tanmatsu_user.lst\")、作成セット (\"makeset.txt\")、設定 "
    "(\"mirufo.ini\") はデータフォルダから読みます: 環境変数 MIRUFO_HOME、なければ実行ファイルの"
    "フォルダ (書き込めるとき)、なければ $XDG_CONFIG_HOME/mirufo。mirufo-cli はこれらのファイルを"
    "書き換えません。");
constexpr const char* kExitText = N_("0 成功 (make ではすべて保存した), 1 エラー, 2 使い方の誤り, "
                                     "3 保存したがキャッシュを超えたファイルがある (make のみ)");

// The options' column in --help.
constexpr std::size_t kHelpColumn = 30;

std::string OptionLabel(const TOptionInfo& option) {
  switch (option.Kind) {
  case TValueKind::None:
    return option.Name;
  case TValueKind::Required:
    return option.Name + " " + Tr(option.ValueName);
  case TValueKind::Optional:
    return option.Name + Tr(option.ValueName);
  }
  return option.Name;
}

void WriteColumns(std::ostream& out, const std::string& left, const std::string& right,
                  std::size_t column = kHelpColumn) {
  const std::string lead = "  " + left;
  const std::size_t width = DisplayWidth(lead);
  if (width + 1 >= column)
    out << lead << "\n" << std::string(column, ' ') << right << "\n";
  else
    out << lead << std::string(column - width, ' ') << right << "\n";
}

std::vector<std::string> Paragraphs(const std::string& text) {
  std::vector<std::string> paragraphs;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find("\n\n", start);
    if (end == std::string::npos)
      end = text.size();
    if (end > start)
      paragraphs.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return paragraphs;
}

// "、", "。", "）" and "」" never begin a line.
bool StartsWithClosingMark(std::string_view text) {
  for (std::string_view mark : {"\xE3\x80\x81", "\xE3\x80\x82", "\xEF\xBC\x89", "\xE3\x80\x8D"})
    if (text.substr(0, mark.size()) == mark)
      return true;
  return false;
}

// Text safe in man(7) markup: backslashes escaped, hyphens as minus signs
// (so that options can be searched for and copied), no line starting with a
// control character, and a break point after every wide character, since
// Japanese has no blanks where troff could otherwise break a line.
std::string Roff(const std::string& text) {
  std::string out;
  bool lineStart = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (lineStart && (c == '.' || c == '\''))
      out += "\\&";
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
    lineStart = c == '\n';
    const auto lead = static_cast<unsigned char>(c);
    if (lead >= 0xE0) {
      const std::size_t length = lead >= 0xF0 ? 4 : 3;
      out += text.substr(i + 1, length - 1);
      i += length - 1;
      if (!StartsWithClosingMark(std::string_view(text).substr(i + 1)))
        out += "\\:";
    }
  }
  return out;
}

// The name line as whatis and apropos index it: they do not read the break
// points Roff puts between Japanese characters, and a short line needs none.
std::string RoffUnbroken(const std::string& text) {
  std::string out = Roff(text);
  for (std::size_t at = out.find("\\:"); at != std::string::npos; at = out.find("\\:", at))
    out.erase(at, 2);
  return out;
}

// A section heading: man pages write them in capitals ("NAME"), which
// leaves Japanese as it is.
std::string Heading(std::string heading) {
  for (char& c : heading)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return heading;
}

void WriteManOptions(const TCommandDoc& command, std::ostream& out) {
  std::string group;
  for (const TOptionInfo& option : command.Options) {
    if (option.Group != group && !option.Group.empty()) {
      group = option.Group;
      out << ".PP\n" << Roff(Tr(group)) << ":\n";
    }
    out << ".TP\n";
    if (option.Kind == TValueKind::None)
      out << ".B " << Roff(option.Name);
    else
      out << ".BI \"" << Roff(option.Name) << (option.Kind == TValueKind::Required ? " " : "")
          << "\" \"" << Roff(Tr(option.ValueName)) << "\"";
    out << "\n" << Roff(Tr(option.Help)) << "\n";
  }
}

std::string Words(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words)
    text += (text.empty() ? "" : " ") + word;
  return text;
}

} // namespace

std::string ProgramVersion() {
  return MIRUFO_VERSION;
}

std::size_t DisplayWidth(const std::string& text) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) == 0x80)
      continue; // a continuation byte
    // Three- and four-byte sequences (U+0800 and up) hold the kana, kanji
    // and full-width forms; the rare narrow ones among them are not worth a
    // table here.
    width += c >= 0xE0 ? 2 : 1;
  }
  return width;
}

void WriteProgramHelp(const std::vector<TCommandDoc>& commands, std::ostream& out) {
  out << Tr("使い方: mirufo-cli コマンド [オプション]") << "\n\n" << Tr(kProgramSummary) << "\n\n";
  out << Tr("コマンド:") << "\n";
  for (const TCommandDoc& command : commands)
    WriteColumns(out, command.Name,
                 Tr(command.Summary) + " (mirufo-cli " + command.Name + " --help)", 14);
  out << Tr("共通オプション:") << "\n";
  WriteColumns(out, "--help", Tr("この説明を表示します"), 14);
  WriteColumns(out, "--version", Tr("版を表示します"), 14);
  out << "\n" << Tr(kDataFolderText) << "\n\n" << Tr("終了コード: ") << Tr(kExitText) << "\n";
}

void WriteCommandHelp(const TCommandDoc& command, std::ostream& out) {
  out << Tr("使い方: ") << "mirufo-cli " << command.Name << " " << Tr(command.Synopsis) << "\n\n";
  for (const std::string& paragraph : Paragraphs(Tr(command.Description)))
    out << paragraph << "\n\n";
  std::string group = "\x01";
  for (const TOptionInfo& option : command.Options) {
    if (option.Group != group) {
      group = option.Group;
      out << (group.empty() ? Tr("オプション") : Tr(group)) << ":\n";
    }
    WriteColumns(out, OptionLabel(option), Tr(option.Help));
  }
  for (const std::string& paragraph : Paragraphs(Tr(command.Notes)))
    out << "\n" << paragraph << "\n";
}

void WriteManPage(const std::vector<TCommandDoc>& commands, std::ostream& out) {
  out << ".\\\" The manual page of mirufo-cli, made from its option tables.\n"
      << ".TH MIRUFO\\-CLI 1 \"\" \"mirufo " << Roff(ProgramVersion()) << "\" \"User Commands\"\n"
      << ".\\\" Japanese is not justified or hyphenated.\n.ad l\n.nh\n"
      << ".SH " << RoffUnbroken(Heading(Tr("名前"))) << "\nmirufo\\-cli \\- "
      << RoffUnbroken(Tr(kProgramSummary)) << "\n"
      << ".SH " << Roff(Heading(Tr("書式"))) << "\n";
  for (const TCommandDoc& command : commands)
    out << ".B mirufo\\-cli " << command.Name << "\n" << Roff(Tr(command.Synopsis)) << "\n.br\n";
  out << ".B mirufo\\-cli \\-\\-help\n.br\n.B mirufo\\-cli \\-\\-version\n";
  out << ".SH " << Roff(Heading(Tr("説明"))) << "\n"
      << Roff(Tr(kProgramSummary)) << "\n.PP\n"
      << Roff(Tr(kDataFolderText)) << "\n";
  out << ".SH " << Roff(Heading(Tr("コマンド"))) << "\n";
  for (const TCommandDoc& command : commands) {
    out << ".SS " << command.Name << "\n";
    for (const std::string& paragraph : Paragraphs(Tr(command.Description)))
      out << ".PP\n" << Roff(paragraph) << "\n";
    WriteManOptions(command, out);
    for (const std::string& paragraph : Paragraphs(Tr(command.Notes)))
      out << ".PP\n" << Roff(paragraph) << "\n";
  }
  out << ".SH " << Roff(Heading(Tr("終了ステータス"))) << "\n" << Roff(Tr(kExitText)) << "\n";
  out << ".SH " << Roff(Heading(Tr("環境変数"))) << "\n"
      << ".TP\n.B MIRUFO_HOME\n"
      << Roff(Tr("データフォルダ")) << "\n"
      << ".TP\n.B XDG_CONFIG_HOME\n"
      << Roff(Tr("MIRUFO_HOME がなく実行ファイルのフォルダに書き込めないときのデータフォルダの親"))
      << "\n.TP\n.B XDG_DATA_HOME\n"
      << Roff(Tr("ユーザーのプラグインフォルダ ($XDG_DATA_HOME/mirufo/plugins、既定は "
                 "~/.local/share/mirufo/plugins) の親"))
      << "\n.TP\n.B SUSIE_PLUGIN_DIR\n"
      << Roff(Tr("Susie プラグイン (*.spi) を探すフォルダ")) << "\n"
      << ".TP\n.BR LANGUAGE \", \" LC_ALL \", \" LC_MESSAGES \", \" LANG\n"
      << Roff(Tr("表示の言語 (gettext の読み方で、英語のロケールなら英語、それ以外は日本語)"))
      << "\n";
  out << ".SH " << Roff(Heading(Tr("例"))) << "\n";
  for (const TCommandDoc& command : commands)
    for (const auto& [line, what] : command.Examples)
      out << ".PP\n" << Roff(Tr(what)) << "\n.PP\n.RS\n.nf\n" << Roff(line) << "\n.fi\n.RE\n";
}

void WriteBashCompletion(const std::vector<TCommandDoc>& commands, std::ostream& out) {
  std::vector<std::string> commandNames;
  for (const TCommandDoc& command : commands)
    commandNames.push_back(command.Name);
  commandNames.push_back("--help");
  commandNames.push_back("--version");

  out << R"BASH(# bash completion for mirufo-cli, made from its option tables.

# Completes the current word as a value of the given kind.
_mirufo_cli_values() {
  local kind=$1 word=$2 cli=${COMP_WORDS[0]} prefix= IFS=$'\n'
  case $kind in
  handsets)
    # A comma-separated list: complete its last item.
    if [[ $word == *,* ]]; then
      prefix=${word%,*},
      word=${word##*,}
    fi
    COMPREPLY=($(compgen -P "$prefix" -W "$("$cli" list --names 2>/dev/null)" -- "$word")) ;;
  sets)
    COMPREPLY=($(compgen -W "$("$cli" list --sets --names 2>/dev/null)" -- "$word")) ;;
  dirs)
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -d -- "$word")) ;;
  files)
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- "$word")) ;;
  esac
}

_mirufo_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
  # "--name=value" reaches us as three words: "--name", "=", "value".
  if [[ $cur == = ]]; then
    cur=
  elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
    prev=${COMP_WORDS[COMP_CWORD - 2]}
  fi
  COMPREPLY=()
  if ((COMP_CWORD == 1)); then
    COMPREPLY=($(compgen -W ")BASH"
      << Words(commandNames) << R"BASH(" -- "$cur"))
    return
  fi
  case ${COMP_WORDS[1]} in
)BASH";
  for (const TCommandDoc& command : commands) {
    std::vector<std::string> optionNames;
    std::vector<std::string> freeValues;
    std::ostringstream values; // the "case $prev" arms
    for (const TOptionInfo& option : command.Options) {
      optionNames.push_back(option.Name);
      if (option.Kind != TValueKind::Required)
        continue;
      if (!option.Complete.empty())
        values << "    " << option.Name << ") _mirufo_cli_values " << option.Complete
               << " \"$cur\"; return ;;\n";
      else if (!option.Choices.empty())
        values << "    " << option.Name << ") COMPREPLY=($(compgen -W \"" << Words(option.Choices)
               << "\" -- \"$cur\")); return ;;\n";
      else
        freeValues.push_back(option.Name);
    }
    if (!freeValues.empty()) {
      std::string pattern;
      for (const std::string& name : freeValues)
        pattern += (pattern.empty() ? "" : "|") + name;
      values << "    " << pattern << ") return ;;\n";
    }
    out << "  " << command.Name << ")\n";
    if (!values.str().empty())
      out << "    case $prev in\n" << values.str() << "    esac\n";
    out << "    if [[ $cur == -* ]]; then\n      COMPREPLY=($(compgen -W \"" << Words(optionNames)
        << "\" -- \"$cur\"))\n";
    if (!command.OperandComplete.empty())
      out << "    else\n      _mirufo_cli_values " << command.OperandComplete << " \"$cur\"\n";
    out << "    fi\n    ;;\n";
  }
  out << "  esac\n}\n\ncomplete -F _mirufo_cli mirufo-cli\n";
}

} // namespace mirufo::cli
