#include "cli/cli.h"

#include "platform/errors.h"
#include "platform/folders.h"

#include <ostream>

namespace mirufo::cli {
namespace {

constexpr const char* kUsage = R"(使い方: mirufo-cli コマンド [オプション]

ひとつの画像から携帯電話の待受画像を作ります。

コマンド:
  make      待受画像を作って保存します (mirufo-cli make --help)
  list      端末や作成セットの一覧を表示します (mirufo-cli list --help)

共通オプション:
  --help    この説明を表示します

ユーザー定義の端末 ("tanmatsu_user.lst") などは、データフォルダ
(環境変数 MIRUFO_HOME、なければ実行ファイルのフォルダ) から読みます。
)";

} // namespace

void LoadWorkingSet(TTanmatsuOptionList& set, const std::filesystem::path& dataFolder) {
  TTanmatsuList list;
  list.LoadBuiltIn();
  set.MergeList(list, false);
  const std::filesystem::path userList = dataFolder / kUserListFileName;
  std::error_code ec;
  if (std::filesystem::exists(userList, ec)) {
    list.LoadFromFile(userList);
    set.MergeList(list, true);
  }
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    if (args.empty())
      throw EUsageError("コマンドがありません");
    const std::string& command = args[0];
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
      out << kUsage;
      return kExitOk;
    }
    if (command == "list")
      return RunList(rest, out, err);
    if (command == "make")
      return RunMake(rest, out, err);
    throw EUsageError("知らないコマンドです: " + command);
  } catch (const EUsageError& e) {
    err << "mirufo-cli: " << e.what() << "\n詳しくは mirufo-cli --help を見てください。\n";
    return kExitUsage;
  } catch (const std::exception& e) {
    err << "mirufo-cli: " << e.what() << "\n";
    return kExitError;
  }
}

} // namespace mirufo::cli
