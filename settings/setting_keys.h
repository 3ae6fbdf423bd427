// The keys of the settings file, in code page 932 as the file holds them,
// each with the English name and the few words the Linux program shows
// beside it, and what values it takes.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/source_encoding.h"
#include "settings/output_style.h"

namespace prismet {

// Keys of the fixed section and of the mode section, in the order in which
// they are written.
inline constexpr char kShowDialogKey[] = "ダイアログを表示";
inline constexpr char kExtensionKey[] = "拡張子";
inline constexpr char kVocabularyKey[] = "語彙ファイル";
inline constexpr char kTabWidthKey[] = "タブ幅";
inline constexpr char kExpandTabsKey[] = "タブを空白に展開";
inline constexpr char kNbspKey[] = "空白を &nbsp; に変換";
inline constexpr char kLineNumbersKey[] = "行番号を表示";
inline constexpr char kInsertBeforeKey[] = "前に挿入";
inline constexpr char kInsertAfterKey[] = "後に挿入";
// Written only when they differ from the built-in defaults, behind the keys
// above, so that a file that never set them stays as it is.
inline constexpr char kEncodingKey[] = "文字コード";
inline constexpr char kPathBaseKey[] = "相対パスの基準";
inline constexpr char kInsertVariablesKey[] = "挿入ファイルの変数";
inline constexpr char kLineAnchorsKey[] = "行のアンカー";
inline constexpr char kSourceExtensionsKey[] = "ソースの拡張子";
inline constexpr char kOutputFolderKey[] = "出力フォルダ";
inline constexpr char kJobsKey[] = "同時変換数";
inline constexpr char kExtensionlessSourcesKey[] = "拡張子のないソース";
inline constexpr char kCppModeLineKey[] = "C++のモード行";
inline constexpr char kIncludeLinksKey[] = "インクルードのリンク";
inline constexpr char kIncludeFoldersKey[] = "インクルードフォルダ";
inline constexpr char kSiteNavigationKey[] = "サイトのナビゲーション";
inline constexpr char kCrossReferencesKey[] = "相互参照";

// The value of kPathBaseKey that takes relative paths from the settings
// file's folder.
inline constexpr char kPathBaseSettingsFolder[] = "設定ファイル";

struct TagKeys {
  const char* open_key;
  const char* close_key;
  TagPair OutputStyle::*pair;
  const char* name;  // English, "-open" and "-close" behind it
};

// The eight categories in display and storage order.
inline constexpr TagKeys kTagKeys[] = {
    {"<全体>", "</全体>", &OutputStyle::whole, "whole"},
    {"<ｺﾒﾝﾄ>", "</ｺﾒﾝﾄ>", &OutputStyle::comment, "comment"},
    {"<ｷｰﾜｰﾄﾞ>", "</ｷｰﾜｰﾄﾞ>", &OutputStyle::keyword, "keyword"},
    {"<文字列>", "</文字列>", &OutputStyle::string_literal, "string"},
    {"<文字定数>", "</文字定数>", &OutputStyle::char_constant, "char"},
    {"<定数>", "</定数>", &OutputStyle::constant, "constant"},
    {"<行番号>", "</行番号>", &OutputStyle::line_number, "line-number"},
    {"<行>", "</行>", &OutputStyle::line, "line"},
};

// The encoding a value names, in any mix of capital and small letters; none
// for a value that names none (a load then takes Shift_JIS).
std::optional<SourceEncoding> encoding_named(const char* value);
// The name written for an encoding.
const char* encoding_name(SourceEncoding encoding);

enum class SettingKind { kBool, kCount, kText, kPath, kEncoding, kPathBase, kTag };

struct SettingKey {
  const char* key;      // in code page 932, as in the file
  std::string name;     // English, as `prismet --settings` shows it
  const char* meaning;  // a few English words
  SettingKind kind;
};

// Every key, in the order the file is written: the fixed section's key
// first, then the mode's keys, the tags among them.
std::span<const SettingKey> setting_keys();

// The key whose name in code page 932 (ignoring the case of ASCII letters)
// or English name is `name`; null when none is.
const SettingKey* find_setting_key(std::string_view name);

// The value `settings` holds for `key` as the settings file writes it (in
// code page 932).
std::string setting_text(const Settings& settings, const SettingKey& key);

// The text a settings file is to hold for `key` given `value` (code page
// 932), or none with `problem` saying why the value is refused.
std::optional<std::string> setting_value_to_write(const SettingKey& key, std::string_view value,
                                                  std::string& problem);

}  // namespace prismet
