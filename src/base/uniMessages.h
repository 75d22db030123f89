// The fixed Japanese texts of the core, every layer's in this one place, and a small "%s"
// substituter. The front ends add only their own captions.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tolvane::base {

// Runtime errors.
inline constexpr std::string_view kMsgInvalidInteger = "'%s' は整数ではありません";
inline constexpr std::string_view kMsgInvalidFloat = "'%s' は浮動小数点数ではありません";
inline constexpr std::string_view kMsgInvalidBoolean = "'%s' は正しい論理型ではありません";
inline constexpr std::string_view kMsgListIndex = "リストのインデックスが範囲を超えています (%s)";
inline constexpr std::string_view kMsgFileOpenError = "ファイル \"%s\". %s は開けません";
inline constexpr std::string_view kMsgFileReadError = "ファイル \"%s\" を読み込めません。%s";
inline constexpr std::string_view kMsgFileWriteError = "ファイル \"%s\" に書き込めません。%s";
inline constexpr std::string_view kMsgLineTooLong = "1 行が %s バイトを超えています";
inline constexpr std::string_view kMsgFileTooLarge =
    "ファイル \"%s\" が大きすぎます (%s バイトまで)";
inline constexpr std::string_view kMsgNotAFileName =
    "'%s' はファイル名として読めません (Shift-JIS ではありません)";
inline constexpr std::string_view kMsgPlace = "(%s)";
inline constexpr std::string_view kMsgPlaceWithLine = "(%s の %s 行目)";

// Records of the KSJ files.
inline constexpr std::string_view kMsgInvalidCount = "'%s' は正しい個数ではありません";
inline constexpr std::string_view kMsgTooManyPoints = "図形の点が %s 個を超えています";
inline constexpr std::string_view kMsgChainTextTooLong = "チェーンの座標が %s バイトを超えています";
inline constexpr std::string_view kMsgTooManyChains = "チェーンが %s 本を超えています";

// Status texts of a conversion job.
inline constexpr std::string_view kStatusPreparing = "変換の準備をしています。";
inline constexpr std::string_view kStatusConvertingSuffix = "を変換しています。";
inline constexpr std::string_view kStatusFinishing = "変換の後処理をしています。";
inline constexpr std::string_view kStatusLedger = "台帳データを変換しています。";

// Outputs of a job.
inline constexpr std::string_view kMsgOverwritesSource =
    "変換後のファイル \"%s\" "
    "は変換元のファイルと同じです。変換元を上書きしないよう、別のファイル名を指定してください";
inline constexpr std::string_view kMsgOutputsCollide =
    "変換後のファイル \"%s\" が同じ変換の別の出力と重なります。別のファイル名を指定してください";

// Results of a job.
inline constexpr std::string_view kMsgConvertSucceeded = "変換に成功しました。";
inline constexpr std::string_view kMsgConvertFailed = "変換に失敗しました。";
inline constexpr std::string_view kMsgConvertCancelled = "変換を中止しました。";

// The batch list, its file and its run.
inline constexpr std::string_view kMsgInvalidBatchList = "不正なバッチリストです。";
inline constexpr std::string_view kMsgNotShiftJis =
    "'%s' は Shift-JIS で書けない文字を含むため、バッチリストに保存できません";
inline constexpr std::string_view kMsgNotSjisText = "'%s' は Shift-JIS の文字列ではありません";
inline constexpr std::string_view kMsgNoBatchList = "対象のバッチリストがありません。";
inline constexpr std::string_view kMsgBadCombineFile = "統合後のファイル名が不正です。";
inline constexpr std::string_view kMsgCombineFileIsInput =
    "統合後のファイル名が変換元または変換後のファイルと同じです。別のファイル名を指定してください"
    "。";
inline constexpr std::string_view kMsgOutputIsOtherSource =
    "変換後のファイル \"%s\" は他の行の変換元のファイルと同じです。変換元を上書きしないよう、別の"
    "ファイル名を指定してください";
inline constexpr std::string_view kMsgBatchFinished = "変換が終了しました。";
inline constexpr std::string_view kStatusMergeMif = "MIFファイルを統合しています。";
inline constexpr std::string_view kStatusMergeMid = "MIDファイルを統合しています。";
inline constexpr std::string_view kStatusMergeCsv = "CSVファイルを統合しています。";

/// Replaces each "%s" of `pattern` in turn by the next argument. Surplus "%s" stay as they
/// are; surplus arguments are ignored.
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

} // namespace tolvane::base
