#include "cli/cli.h"

#include "cli/doc_writers.h"
#include "cli/make_options.h"
#include "output/handset_list_import.h"
#include "platform/errors.h"
#include "platform/folders.h"
#include "platform/text_fields.h"
#include "platform/translate.h"

#include <ostream>

namespace mirufo::cli {

std::optional<std::string> LoadWorkingSet(TTanmatsuOptionList& set,
                                          const std::filesystem::path& dataFolder,
                                          std::ostream* warnings) {
  TTanmatsuList list;
  list.LoadBuiltIn();
  set.MergeList(list, false);
  if (std::optional<std::string> problem = DataFolderProblem(dataFolder)) {
    if (warnings)
      *warnings << "mirufo-cli: " << Tr("警告: データフォルダを読めません: ")
                << EscapeControls(*problem, true) << "\n"
                << Tr("利用者の端末、作成セット、設定を読まずに続けます") << "\n";
    return problem;
  }
  const std::filesystem::path userList = dataFolder / kUserListFileName;
  std::error_code ec;
  if (std::filesystem::exists(userList, ec)) {
    list.LoadFromFile(userList);
    set.MergeList(list, true);
  }
  return std::nullopt;
}

std::string UnreadDataFolderNote(const std::optional<std::string>& problem) {
  if (!problem)
    return "";
  return std::string(" (") +
         Tr("データフォルダを読めなかったので、利用者の端末と作成セットは"
            "読んでいません: ") +
         *problem + ")";
}

std::vector<std::size_t> ImportHandsetLists(TTanmatsuOptionList& set,
                                            const std::vector<std::string>& lists,
                                            std::ostream* messages) {
  std::vector<std::size_t> handsets;
  for (const std::string& file : lists) {
    const THandsetListImport result = ImportHandsetList(set, file);
    handsets.insert(handsets.end(), result.Handsets.begin(), result.Handsets.end());
    if (messages)
      *messages << "mirufo-cli: " << HandsetListImportText(file, result) << "\n";
  }
  return handsets;
}

TIniFile ReadSettings(const std::filesystem::path& dataFolder, std::ostream* warnings) {
  try {
    return TIniFile(dataFolder / "mirufo.ini");
  } catch (const EMirufoError& e) {
    if (warnings)
      *warnings << "mirufo-cli: " << Tr("警告: ") << e.what() << "\n"
                << Tr("設定ファイルを読まずに既定の設定で続けます (ファイルは変更しません)")
                << "\n";
    return TIniFile(std::filesystem::path());
  }
}

std::vector<TCommandDoc> CommandDocs() {
  return {DocOf(MakeCommand()), ListCommandDoc()};
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  int status = kExitOk;
  try {
    if (args.empty())
      throw EUsageError(Tr("コマンドがありません"));
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help")
      WriteProgramHelp(CommandDocs(), out);
    else if (command == "--version")
      out << "mirufo-cli " << ProgramVersion() << "\n";
    else if (command == "list")
      status = RunList(rest, out, err);
    else if (command == "make")
      status = RunMake(rest, out, err);
    else
      throw EUsageError(Tr("知らないコマンドです: ") + command);
  } catch (const EUsageError& e) {
    err << "mirufo-cli: " << EscapeControls(e.what(), true) << "\n"
        << Tr("詳しくは mirufo-cli --help を見てください。") << "\n";
    status = kExitUsage;
  } catch (const std::exception& e) {
    err << "mirufo-cli: " << EscapeControls(e.what(), true) << "\n";
    status = kExitError;
  }
  // What was printed must have arrived: a full disk or a closed pipe is a
  // failed run, whatever the command did.
  if (!out.flush()) {
    err << "mirufo-cli: " << Tr("標準出力に書き込めませんでした") << "\n";
    return kExitError;
  }
  return status;
}

} // namespace mirufo::cli
