// The fixed texts of the command line, in Japanese and in English (the core's own texts are in
// base/uniMessages.h).
#pragma once

#include "base/uniMessages.h"

namespace tolvane::cli {

using base::TMessage;

// Reading the command line.
inline constexpr TMessage kMsgUnknownOption{"不明なオプションです: %s", "unknown option: %s"};
inline constexpr TMessage kMsgUnknownCommand{"不明なコマンドです: %s", "unknown command: %s"};
inline constexpr TMessage kMsgNoCommand{"コマンドを指定してください", "no command given"};
inline constexpr TMessage kMsgNeedsValue{"%s には値 %s を指定してください", "%s needs a value: %s"};
inline constexpr TMessage kMsgTakesNoValue{"%s は値を取りません", "%s takes no value"};
inline constexpr TMessage kMsgOptionAfterCommand{"%s はコマンドの後に書いてください",
                                                 "%s belongs after the command"};
inline constexpr TMessage kMsgNotAnOptionOf{"%s は %s のオプションではありません",
                                            "%s is not an option of %s"};
inline constexpr TMessage kMsgMissingOperands{"引数が足りません: %s", "missing arguments: %s"};
inline constexpr TMessage kMsgSurplusOperand{"余分な引数です: %s", "unexpected argument: %s"};
inline constexpr TMessage kMsgHelpHint{"詳しくは '%s --help' を参照してください。",
                                       "Try '%s --help' for more information."};
inline constexpr TMessage kMsgHelpUsage{"使い方: %s", "Usage: %s"};
inline constexpr TMessage kMsgHelpCommands{"コマンド:", "Commands:"};
inline constexpr TMessage kMsgHelpOptions{"オプション:", "Options:"};
inline constexpr TMessage kMsgHelpGlobalOptions{"共通のオプション (コマンドの前にも書けます):",
                                                "Global options (also before the command):"};
inline constexpr TMessage kMsgHelpOptionsWord{"[オプション]", "[options]"};

// tolvane-cli: the help.
inline constexpr TMessage kHelpCliUsage{
    "使い方: tolvane-cli [オプション] コマンド [オプション] [引数]\n"
    "国土数値情報の旧形式のテキストデータを MapInfo MIF/MID と台帳 CSV、または GeoPackage や\n"
    "GeoJSON に変換します。",
    "Usage: tolvane-cli [options] COMMAND [options] [arguments]\n"
    "Converts the old-format text data of the KSJ (National Land Numerical Information) into\n"
    "MapInfo MIF/MID and ledger CSV, or into GeoPackage or GeoJSON."};
inline constexpr TMessage kHelpCliFooter{
    "コマンドのオプションは 'tolvane-cli コマンド --help' で表示されます。\n"
    "変換後のファイルの拡張子で形式が決まります: .gpkg は GeoPackage、.geojson と .json は "
    "GeoJSON、\n"
    "それ以外は MIF/MID です。\n"
    "座標系 (--coordsys) は変換元の座標の測地系を示すだけで、座標は動きません。座標を変換するには\n"
    "'convert --to-crs EPSG:番号' を使います ('tolvane-cli convert --help')。\n"
    "変換元と変換後に '-' は使えません: MIF の出力は常に 2 つ以上のファイルです。\n"
    "メッセージは LC_ALL, LC_MESSAGES, LANG の言語が日本語なら日本語、それ以外は英語です。\n"
    "終了コード: 0 成功, 1 変換の失敗, 2 使い方の誤り、または開始できない, 128 + シグナル番号\n"
    "(130, 143) Ctrl+C または SIGTERM による中止。",
    "'tolvane-cli COMMAND --help' shows the options of a command.\n"
    "The destination's extension picks the format: .gpkg GeoPackage, .geojson and .json GeoJSON,\n"
    "anything else MIF/MID.\n"
    "The coordinate system (--coordsys) names the datum of the source's coordinates and does not\n"
    "move them; 'convert --to-crs EPSG:n' reprojects them ('tolvane-cli convert --help').\n"
    "A source or destination of '-' is refused: MIF output is always two or more files.\n"
    "Messages are in Japanese when the language of LC_ALL, LC_MESSAGES or LANG is Japanese.\n"
    "Exit status: 0 success, 1 a conversion failed, 2 a usage error or could not start, 128 + the\n"
    "signal's number (130, 143) cancelled by Ctrl+C or SIGTERM."};
inline constexpr TMessage kHelpItems{
    "データ項目の一覧を表示します (カテゴリごとに 番号, 名前, データコード, 形式, "
    "ファイルマスク)。",
    "Lists the data items by category: number, name, data code, format, file mask."};
inline constexpr TMessage kHelpConvert{"SRC を 1 つのデータ項目として DST に変換します。",
                                       "Converts SRC as one data item into DST."};
inline constexpr TMessage kHelpConvertDetails{
    "DST の拡張子で形式が決まります: .gpkg は GeoPackage (レイヤーと台帳の表を 1 "
    "つのファイルに)、\n"
    ".geojson と .json は GeoJSON (台帳は UTF-8 の CSV を隣に)、それ以外は MIF (.mid と台帳の "
    ".csv\n"
    "を隣に)。\n"
    "--coordsys は SRC の座標がどの測地系で測られたかを示し、その測地系として書き出すだけで座標は\n"
    "動きません (国土数値情報のファイル名の -tky は日本測地系、-jgd は JGD2000 "
    "です)。別の測地系に\n"
    "変換するには GeoPackage か GeoJSON に --to-crs を付けて書き出します:\n"
    "  tolvane-cli convert --item ITEM --coordsys tokyo --to-crs EPSG:6668 SRC 出力.gpkg\n"
    "MIF は変換した後で GDAL で変換できます:\n"
    "  ogr2ogr -s_srs EPSG:4301 -t_srs EPSG:6668 -oo ENCODING=CP932 出力.gpkg 出力.mif",
    "DST's extension picks the format: .gpkg GeoPackage (the layer and the ledger's table in one\n"
    "file), .geojson and .json GeoJSON (the ledger as UTF-8 CSV beside it), anything else MIF "
    "(the\n"
    ".mid and the ledger's .csv beside it).\n"
    "--coordsys names the datum in which SRC's coordinates were measured and writes them as such;\n"
    "it does not move them (in KSJ file names, -tky means the Tokyo datum, -jgd JGD2000). To\n"
    "reproject, write a GeoPackage or GeoJSON with --to-crs:\n"
    "  tolvane-cli convert --item ITEM --coordsys tokyo --to-crs EPSG:6668 SRC out.gpkg\n"
    "or reproject a MIF afterwards with GDAL:\n"
    "  ogr2ogr -s_srs EPSG:4301 -t_srs EPSG:6668 -oo ENCODING=CP932 out.gpkg out.mif"};
inline constexpr TMessage kHelpBatch{
    "バッチリストファイルの変換を順に実行し、統合が指定されていれば出力を統合します。",
    "Runs the conversions of a batch-list file and merges their outputs when it asks to."};
inline constexpr TMessage kHelpHelp{"コマンドの使い方を表示します。",
                                    "Shows the help of a command."};
inline constexpr TMessage kHelpDefine{
    "Define フォルダー (既定: 環境変数 TOLVANE_DEFINE、インストール先、実行ファイルの隣の順)",
    "the Define folder (default: $TOLVANE_DEFINE, the installed one, the one beside the program)"};
inline constexpr TMessage kHelpQuiet{
    "進行状況と成功のメッセージを表示しない (エラーは標準エラー出力に出ます)",
    "no progress and no success lines (errors still go to standard error)"};
inline constexpr TMessage kHelpHelpOption{"このヘルプを表示して終了する",
                                          "show this help and exit"};
inline constexpr TMessage kHelpVersion{"バージョンを表示して終了する", "show the version and exit"};
inline constexpr TMessage kHelpItem{
    "データ項目: items の番号、名前、または 1 つの項目を指すデータコード (L03-18M など)",
    "the data item: its number in 'items', its name, or a data code naming one item (L03-18M)"};
inline constexpr TMessage kHelpCoordSys{
    "変換元の座標系: %s (既定 0)。測地系を示すだけで座標は変わりません",
    "the source's coordinate system: %s (default 0); it names the datum, nothing is moved"};
inline constexpr TMessage kHelpToCrs{
    "座標を PROJ で変換する先の座標参照系 (EPSG:6668 は JGD2011)。GeoPackage と GeoJSON だけ。"
    "使った変換と精度を標準エラー出力に表示します",
    "reproject to this CRS through PROJ (EPSG:6668 is JGD2011); GeoPackage and GeoJSON only; "
    "the transformation and its accuracy go to standard error"};
inline constexpr TMessage kHelpJobs{"同時に行う変換の数、1 から 256 (既定: コア数)",
                                    "conversions run at once, 1 to 256 (default: the cores)"};

// tolvane-cli: values and operands.
inline constexpr TMessage kMsgBadCoordSys{"--coordsys の値 '%s' は座標系ではありません (%s)",
                                          "--coordsys: '%s' is not a coordinate system (%s)"};
inline constexpr TMessage kMsgBadToCrs{"--to-crs の値: %s", "--to-crs: %s"};
inline constexpr TMessage kMsgBadJobs{"--jobs の値 '%s' は 1 から 256 までの整数ではありません",
                                      "--jobs: '%s' is not a whole number from 1 to 256"};
inline constexpr TMessage kMsgItemRequired{"--item でデータ項目を指定してください",
                                           "--item is required: the data item of the source"};
inline constexpr TMessage kMsgDashRefused{
    "'-' は使えません: 変換は名前のあるファイルを読み、2 つ以上のファイルに書き出します "
    "('-' という名前のファイルは ./- と書いてください)",
    "'-' cannot be used: a conversion reads a named file and writes two or more files (write "
    "./- for a file named '-')"};
inline constexpr TMessage kMsgItemUnknown{"データ項目 '%s' はありません",
                                          "there is no data item '%s'"};
inline constexpr TMessage kMsgItemUnknownCandidates{"データ項目 '%s' はありません。候補:",
                                                    "there is no data item '%s'; candidates:"};
inline constexpr TMessage kMsgItemAmbiguous{
    "'%s' に当てはまるデータ項目が複数あります。番号か名前で指定してください:",
    "'%s' names more than one data item; give its number or its name:"};
inline constexpr TMessage kMsgItemsHint{"データ項目の一覧は 'tolvane-cli items' で表示されます。",
                                        "'tolvane-cli items' lists the data items."};

// tolvane-cli: results.
inline constexpr TMessage kMsgRowConverted{"変換しました", "converted"};
inline constexpr TMessage kMsgRowFailed{"失敗しました", "failed"};
inline constexpr TMessage kMsgRowNotStarted{"開始できませんでした", "could not start"};
inline constexpr TMessage kMsgRowNotConverted{"変換していません", "not converted"};
inline constexpr TMessage kMsgMerged{"統合しました: %s", "merged: %s"};

} // namespace tolvane::cli
