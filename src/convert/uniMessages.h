// The fixed Japanese texts of the converter core and a small "%s" substituter.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tolvane::convert {

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
inline constexpr std::string_view kMsgPlace = "(%s)";
inline constexpr std::string_view kMsgPlaceWithLine = "(%s の %s 行目)";

// Status texts of a conversion job.
inline constexpr std::string_view kStatusPreparing = "変換の準備をしています。";
inline constexpr std::string_view kStatusConvertingSuffix = "を変換しています。";
inline constexpr std::string_view kStatusFinishing = "変換の後処理をしています。";
inline constexpr std::string_view kStatusLedger = "台帳データを変換しています。";

// Results of a job.
inline constexpr std::string_view kMsgConvertSucceeded = "変換に成功しました。";
inline constexpr std::string_view kMsgConvertFailed = "変換に失敗しました。";

/// Replaces each "%s" of `pattern` in turn by the next argument. Surplus "%s" stay as they
/// are; surplus arguments are ignored.
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

} // namespace tolvane::convert
