#include "settings/save_failure.h"

namespace {

const char* ReasonText(TProfileError error)
{
    switch (error) {
    case TProfileError::AccessDenied:
        return "この場所に書き込む権限がありません。";
    case TProfileError::ReadOnly:
        return "ファイルまたはディスクが読み取り専用です。";
    case TProfileError::DiskFull:
        return "ディスクの空き容量が足りません。";
    case TProfileError::NotAFile:
        return "同じ名前のフォルダーまたは特殊なファイルがあります。";
    case TProfileError::TooLarge:
        return "ファイルが大きすぎます（設定ファイルは 16 MiB まで）。";
    case TProfileError::Unreadable:
        return "ファイルを読み込めません。";
    case TProfileError::None:
    case TProfileError::Other:
        break;
    }
    return "書き込みに失敗しました。";
}

}  // namespace

std::string SaveFailureText(const TProfileWriteResult& result)
{
    std::string text = "設定を保存できませんでした。設定は変更されていません。\n\nファイル: ";
    text += result.File;
    text += "\n理由: ";
    text += ReasonText(result.Error);
    if (result.Error == TProfileError::Other && result.SystemCode != 0)
        text += "（エラー " + std::to_string(result.SystemCode) + "）";
    return text;
}
