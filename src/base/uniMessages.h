// The fixed texts of the core, every layer's in this one place, in the system's Japanese and in
// English, and a small "%s" substituter. The front ends add only their own captions.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tolvane::base {

/// The language of the core's texts: Japanese unless a front end chooses English (the command
/// line does, for a locale in another language).
enum class TLanguage : std::uint8_t {
    Japanese,
    English,
};

/// Chooses the language of every text from now on, for the whole process.
void SetMessageLanguage(TLanguage language) noexcept;
TLanguage MessageLanguage() noexcept;

/// A fixed text in Japanese (the system's own wording) and in English. It reads as the text of
/// the current language.
struct TMessage
{
    std::string_view Ja;
    std::string_view En;

    std::string_view Text() const noexcept
    {
        return MessageLanguage() == TLanguage::English ? En : Ja;
    }
    // NOLINTNEXTLINE(google-explicit-constructor): a message is used wherever its text is
    operator std::string_view() const noexcept { return Text(); }
};

// Runtime errors.
inline constexpr TMessage kMsgInvalidInteger{"'%s' は整数ではありません", "'%s' is not an integer"};
inline constexpr TMessage kMsgInvalidFloat{"'%s' は浮動小数点数ではありません",
                                           "'%s' is not a floating-point number"};
inline constexpr TMessage kMsgInvalidBoolean{"'%s' は正しい論理型ではありません",
                                             "'%s' is not a valid Boolean"};
inline constexpr TMessage kMsgListIndex{"リストのインデックスが範囲を超えています (%s)",
                                        "List index out of bounds (%s)"};
// A file error is the message and then the system's reason as a sentence of its own.
inline constexpr TMessage kMsgFileOpenError{"ファイル \"%s\" は開けません。%s",
                                            "Cannot open file \"%s\". %s"};
inline constexpr TMessage kMsgFileReadError{"ファイル \"%s\" を読み込めません。%s",
                                            "Cannot read file \"%s\". %s"};
inline constexpr TMessage kMsgFileWriteError{"ファイル \"%s\" に書き込めません。%s",
                                             "Cannot write to file \"%s\". %s"};
inline constexpr TMessage kMsgLineTooLong{"1 行が %s バイトを超えています",
                                          "A line is longer than %s bytes"};
inline constexpr TMessage kMsgFileTooLarge{"ファイル \"%s\" が大きすぎます (%s バイトまで)",
                                           "File \"%s\" is too large (at most %s bytes)"};
inline constexpr TMessage kMsgNotAFileName{
    "'%s' はファイル名として読めません (Shift-JIS ではありません)",
    "'%s' cannot be read as a file name (it is not Shift-JIS)"};
inline constexpr TMessage kMsgPlace{"(%s)", "(%s)"};
inline constexpr TMessage kMsgPlaceWithLine{"(%s の %s 行目)", "(%s, line %s)"};

// Finding the programs' data folders (Define, help).
inline constexpr TMessage kMsgDataFolderNotFound{"%s フォルダーが見つかりません。探した場所:",
                                                 "No %s folder was found. Places tried:"};
inline constexpr TMessage kMsgDataFolderWithMarkerNotFound{
    "%s フォルダー (%s のあるもの) が見つかりません。探した場所:",
    "No %s folder holding %s was found. Places tried:"};
inline constexpr TMessage kMsgPlaceOption{"コマンドラインで指定", "given on the command line"};
inline constexpr TMessage kMsgPlaceEnvironment{"環境変数 %s", "environment variable %s"};
inline constexpr TMessage kMsgPlaceInstalled{"インストール先", "installed"};
inline constexpr TMessage kMsgPlacePortable{"実行ファイルの隣", "beside the program"};
inline constexpr TMessage kMsgDataFolderHint{"別のフォルダーは環境変数 %s で指定できます。",
                                             "The environment variable %s names another folder."};

// Records of the KSJ files.
inline constexpr TMessage kMsgInvalidCount{"'%s' は正しい個数ではありません",
                                           "'%s' is not a valid count"};
inline constexpr TMessage kMsgTooManyPoints{"図形の点が %s 個を超えています",
                                            "A shape has more than %s points"};
inline constexpr TMessage kMsgChainTextTooLong{"チェーンの座標が %s バイトを超えています",
                                               "The coordinates of a chain exceed %s bytes"};
inline constexpr TMessage kMsgTooFewFields{
    "この行のフィールドは %s 個で、列定義の %s 列に足りません",
    "This line has %s fields, fewer than the %s columns of the column definitions"};
inline constexpr TMessage kMsgTooManyChains{"チェーンが %s 本を超えています",
                                            "More than %s chains"};

// Status texts of a conversion job.
inline constexpr TMessage kStatusPreparing{"変換の準備をしています。", "Preparing the conversion."};
inline constexpr TMessage kStatusConvertingSuffix{"を変換しています。", ": converting."};
inline constexpr TMessage kStatusFinishing{"変換の後処理をしています。",
                                           "Finishing the conversion."};
inline constexpr TMessage kStatusLedger{"台帳データを変換しています。",
                                        "Converting the ledger data."};

// Outputs of a job.
inline constexpr TMessage kMsgOverwritesSource{
    "変換後のファイル \"%s\" "
    "は変換元のファイルと同じです。変換元を上書きしないよう、別のファイル名を指定してください",
    "The output file \"%s\" is the source file. Choose another file name so that the source is not "
    "overwritten"};
inline constexpr TMessage kMsgOutputsCollide{
    "変換後のファイル \"%s\" が同じ変換の別の出力と重なります。別のファイル名を指定してください",
    "The output file \"%s\" is also another output of the same conversion. Choose another file "
    "name"};

inline constexpr TMessage kMsgOutputBusy{
    "変換後のファイル \"%s\" "
    "には別の変換が書き込んでいます。その変換が終わってからやり直してください",
    "Another conversion is writing the output file \"%s\". Try again when it has finished"};
inline constexpr TMessage kMsgOutputNotAFile{
    "変換後のファイル \"%s\" は%sのため書き込めません。別のファイル名を指定してください",
    "The output file \"%s\" is %s and cannot be written. Choose another file name"};

// Sources of a job.
inline constexpr TMessage kMsgSourceNotAFile{
    "変換元 \"%s\" は%sで、ファイルではありません。変換元にはファイルを指定してください",
    "The source \"%s\" is %s, not a file. Choose a file as the source"};
inline constexpr TMessage kKindFolder{"フォルダー", "a folder"};
inline constexpr TMessage kKindDevice{"デバイス", "a device"};
inline constexpr TMessage kKindPipe{"パイプ", "a pipe"};
inline constexpr TMessage kKindSpecial{"特殊なファイル", "a special file"};
inline constexpr TMessage kKindStdin{"標準入力", "standard input"};

// Definition files.
inline constexpr TMessage kMsgDefineNameNotPlain{
    "'%s' は Define "
    "フォルダーの中のファイル名ではありません。フォルダーを含まないファイル名を書いてください",
    "'%s' is not a file name inside the Define folder. Write a file name without folders"};

// What the input checks notice without stopping a job.
inline constexpr TMessage kWarnDataCode{
    "見出し行のデータコード \"%s\" はデータ項目「%s」のファイル名 (%s) "
    "に合いません。別のデータ項目のファイルかもしれません",
    "The header's data code \"%s\" does not fit the file names of the data item \"%s\" (%s). "
    "The file may belong to another data item"};
inline constexpr TMessage kWarnLineCount{
    "見出し行ではファイルは %s 行ですが、実際には %s "
    "行あります。ファイルが途中で切れていないか確かめてください",
    "The header declares %s lines, but the file has %s. Check that the file is complete"};
inline constexpr TMessage kWarnNoObjects{
    "オブジェクトを 1 "
    "つも書き出しませんでした。変換元のファイルとデータ項目が合っているか確かめてください",
    "No object was written. Check that the source file belongs to the data item"};
inline constexpr TMessage kWarnDatumName{
    "ファイル名の \"%s\" は座標が %s であることを示しますが、選んだ座標系は %s です。座標系の選択は"
    "変換元の座標の測地系を示すだけで、座標は動きません。このファイルには %s を選んでください",
    "The file name says \"%s\": its coordinates are %s, but the coordinate system chosen is %s. "
    "The choice names the datum of the source's coordinates and moves nothing: choose %s for this "
    "file"};
inline constexpr TMessage kDatumJgd2000{"JGD2000 (世界測地系)", "JGD2000"};
inline constexpr TMessage kDatumTokyo{"日本測地系 (東京)", "Tokyo datum"};
inline constexpr TMessage kWarnNoLedgerRows{
    "台帳の行を 1 "
    "つも書き出しませんでした。変換元のファイルとデータ項目が合っているか確かめてください",
    "No ledger row was written. Check that the source file belongs to the data item"};

// Results of a job.
inline constexpr TMessage kMsgConvertSucceeded{"変換に成功しました。", "The conversion succeeded."};
inline constexpr TMessage kMsgConvertFailed{"変換に失敗しました。", "The conversion failed."};
inline constexpr TMessage kMsgConvertCancelled{"変換を中止しました。",
                                               "The conversion was cancelled."};
inline constexpr TMessage kMsgWritten{
    "書き出したもの: オブジェクト %s 個、台帳 %s 行、ファイル %s 個",
    "Written: objects %s, ledger rows %s, files %s"};

// The batch list, its file and its run.
inline constexpr TMessage kMsgInvalidBatchList{"不正なバッチリストです。",
                                               "This is not a valid batch list."};
inline constexpr TMessage kMsgNotShiftJis{
    "'%s' は Shift-JIS で書けない文字を含むため、バッチリストに保存できません",
    "'%s' holds characters that Shift-JIS cannot write, so it cannot be saved in a batch list"};
inline constexpr TMessage kMsgNotSjisText{"'%s' は Shift-JIS の文字列ではありません",
                                          "'%s' is not Shift-JIS text"};
inline constexpr TMessage kMsgNoBatchList{"対象のバッチリストがありません。",
                                          "There is no batch list to run."};
inline constexpr TMessage kMsgBadCombineFile{"統合後のファイル名が不正です。",
                                             "The merged file name is not valid."};
inline constexpr TMessage kMsgCombineFileIsInput{
    "統合後のファイル名が変換元または変換後のファイルと同じです。別のファイル名を指定してください"
    "。",
    "The merged file name is a source or an output of the batch. Choose another file name."};
inline constexpr TMessage kMsgOutputIsOtherSource{
    "変換後のファイル \"%s\" は他の行の変換元のファイルと同じです。変換元を上書きしないよう、別の"
    "ファイル名を指定してください",
    "The output file \"%s\" is the source file of another row. Choose another file name so that "
    "the source is not overwritten"};
inline constexpr TMessage kMsgListFileIsOutput{
    "バッチリストファイル \"%s\" "
    "が変換後のファイルまたは統合後のファイルと同じです。バッチリストを上書きしないよう、別のファイ"
    "ル名を指定してください",
    "The batch-list file \"%s\" is an output or a merged file of the batch. Choose another file "
    "name so that the list is not overwritten"};
inline constexpr TMessage kMsgMergeSkipped{"統合しませんでした。%s", "Not merged: %s"};
inline constexpr TMessage kMsgMergeNeedsTwoRows{"統合するには 2 行以上が必要です。",
                                                "merging needs at least two rows."};
inline constexpr TMessage kMsgMergeItemsDiffer{"行のデータ項目が同じではありません。",
                                               "the rows are not all of one data item."};
inline constexpr TMessage kMsgMergeCoordSysDiffer{"行の座標系が同じではありません。",
                                                  "the rows are not all in one coordinate system."};
inline constexpr TMessage kMsgBatchFinished{"変換が終了しました。", "The conversion has finished."};
inline constexpr TMessage kStatusMergeMif{"MIFファイルを統合しています。",
                                          "Merging the MIF files."};
inline constexpr TMessage kStatusMergeMid{"MIDファイルを統合しています。",
                                          "Merging the MID files."};
inline constexpr TMessage kStatusMergeCsv{"CSVファイルを統合しています。",
                                          "Merging the CSV files."};
inline constexpr TMessage kStatusMergeGpkg{"GeoPackageファイルを統合しています。",
                                           "Merging the GeoPackage files."};
inline constexpr TMessage kStatusMergeGeoJson{"GeoJSONファイルを統合しています。",
                                              "Merging the GeoJSON files."};
inline constexpr TMessage kStatusMergeLedger{"台帳を統合しています。", "Merging the ledgers."};
inline constexpr TMessage kMsgMergeFormatsDiffer{
    "統合後のファイル \"%s\" と行の変換後のファイル \"%s\" の形式 (拡張子) "
    "が違います。統合できるのは"
    "同じ形式のファイルだけです",
    "The merged file \"%s\" and the row's output file \"%s\" are of different formats "
    "(extensions). Only files of one format can be merged"};
inline constexpr TMessage kMsgMergedDescription{"%s (%s 個のファイルを統合、Tolvane Converter %s)",
                                                "%s (merged from %s files, Tolvane Converter %s)"};

// Outputs written through GDAL (GeoPackage, GeoJSON) and coordinate transformation.
inline constexpr TMessage kMsgGdalFailed{"GDAL の %s が失敗しました", "GDAL's %s failed"};
inline constexpr TMessage kMsgGdalMissing{
    "この版は GDAL なしで作られているため、\"%s\" (GeoPackage または GeoJSON) は書けません。拡張子 "
    ".mif を指定してください",
    "This build has no GDAL, so \"%s\" (GeoPackage or GeoJSON) cannot be written. Use the "
    "extension .mif"};
inline constexpr TMessage kMsgBadCrs{
    "'%s' は座標参照系の指定ではありません (EPSG:番号 の形で指定します)",
    "'%s' is not a coordinate reference system (write EPSG:number)"};
inline constexpr TMessage kMsgUnknownCrs{"座標参照系 EPSG:%s は見つかりません。%s",
                                         "The coordinate reference system EPSG:%s is unknown. %s"};
inline constexpr TMessage kMsgNoSourceCrs{
    "座標系が表にないため、座標を EPSG:%s に変換できません",
    "The coordinates cannot be transformed to EPSG:%s: their coordinate system is not known"};
inline constexpr TMessage kMsgNoTransformation{
    "EPSG:%s から EPSG:%s への座標変換がありません。%s",
    "There is no transformation from EPSG:%s to EPSG:%s. %s"};
inline constexpr TMessage kMsgTransformFailed{"座標 (%s, %s) を EPSG:%s に変換できません",
                                              "The coordinates (%s, %s) cannot be transformed to "
                                              "EPSG:%s"};
inline constexpr TMessage kMsgTransformation{
    "座標変換: %s、精度 %s m (EPSG:%s → EPSG:%s)",
    "Transformation: %s, accuracy %s m (EPSG:%s to EPSG:%s)"};
inline constexpr TMessage kMsgTransformationNoAccuracy{
    "座標変換: %s、精度不明 (EPSG:%s → EPSG:%s)",
    "Transformation: %s, accuracy unknown (EPSG:%s to EPSG:%s)"};
inline constexpr TMessage kMsgReprojectNeedsGdal{
    "座標の変換 (EPSG:%s) は GeoPackage (.gpkg) と GeoJSON (.geojson, .json) の出力でだけ行えます。"
    "\"%s\" は MIF として書き出されます",
    "Coordinates are transformed (EPSG:%s) only into GeoPackage (.gpkg) and GeoJSON (.geojson, "
    ".json) outputs; \"%s\" would be written as MIF"};
inline constexpr TMessage kMsgLayerMissing{"ファイル \"%s\" にレイヤー \"%s\" がありません",
                                           "The file \"%s\" has no layer \"%s\""};
inline constexpr TMessage kMsgSourceDescription{"%s (変換元 %s、Tolvane Converter %s)",
                                                "%s (from %s, Tolvane Converter %s)"};

/// Replaces each "%s" of `pattern` in turn by the next argument. Surplus "%s" stay as they
/// are; surplus arguments are ignored.
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

} // namespace tolvane::base
