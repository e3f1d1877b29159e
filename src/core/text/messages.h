// Every text the program shows or logs, written once in UTF-8. Core code converts with Cp932();
// the window shows them through QString. Each area keeps its texts in its own block below.
#pragma once

namespace zepa2::msg {

// ---- settings ----

// ---- start-up and main window ----

// ---- activity log ----

// ---- address check ----
inline constexpr const char* kServerConnectStart = "サーバ接続開始";      // behind the server
inline constexpr const char* kServerConnected = ":サーバ接続成功";         // behind the server
inline constexpr const char* kServerDisconnected = ":サーバを切断";        // behind the server
inline constexpr const char* kAddressSearchStart = "IPアドレス検索開始";
inline constexpr const char* kAddressNotFound = "IPアドレス取得失敗";
inline constexpr const char* kAddressFound = "IPアドレス取得成功";
inline constexpr const char* kRouterConversionFailed = "アドレスの変換に失敗しました。";
inline constexpr const char* kRouterConversionOpen = "アドレス変換(";     // dotted->decimal)
inline constexpr const char* kRouterConversionClose = ")";
inline constexpr const char* kLocalAddressError = "ローカルアドレス取得エラー";
inline constexpr const char* kLocalAddressObtained = "ローカルアドレス取得";
inline constexpr const char* kLocalConversionFailed = "ＩＰアドレスの変換に失敗しました。";
inline constexpr const char* kLocalConversionOpen = "アドレス変換<";      // dotted->decimal>…
inline constexpr const char* kLocalConversionClose = ">に成功しました。";
inline constexpr const char* kConversionArrow = "->";
inline constexpr const char* kAddressUnchanged = "アドレスが変更されてないため、更新しません。";
inline constexpr const char* kRunByTimer = "タイマで実行";
inline constexpr const char* kRunManually = "マニュアルで実行";
inline constexpr const char* kRunAsTest = "テスト実行";
inline constexpr const char* kUnappliedSettingsQuestion =
    "設定が変更されています。\n「設定」を選択しなければ変更が反映されません。\n実行しますか？";

// ---- publishing ----

// ---- scheduler and tray ----

// ---- router settings ----

// ---- FTP settings and site browser ----

// ---- page settings and pickers ----

}  // namespace zepa2::msg
