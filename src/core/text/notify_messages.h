// The texts of the notices sent beyond the desktop (mail, webhook, heartbeat) and of their
// settings dialog, written once in UTF-8 like those of messages.h.
#pragma once

namespace zepa2::msg {

// ---- the [NOTIFY] settings: labels, as the dialog shows them, and refusals ----
inline constexpr const char* kNotifySettingsCaption = "通知設定";
inline constexpr const char* kNotifyMailGroup = "メール";
inline constexpr const char* kNotifyMailServerLabel = "送信サーバ";
inline constexpr const char* kNotifyMailTlsLabel = "STARTTLS を必須にする";
inline constexpr const char* kNotifyMailUserLabel = "ユーザ名";
inline constexpr const char* kNotifyMailPassLabel = "パスワード";
inline constexpr const char* kNotifyMailFromLabel = "差出人";
inline constexpr const char* kNotifyMailToLabel = "宛先";
inline constexpr const char* kNotifyWebhookGroup = "Webhook";
inline constexpr const char* kNotifyWebhookUrlLabel = "URL";
inline constexpr const char* kNotifyWebhookKindLabel = "形式";
inline constexpr const char* kNotifyPingGroup = "死活監視";
inline constexpr const char* kNotifyPingUrlLabel = "ping URL";
inline constexpr const char* kNotifyPinLabel = "サーバの鍵";
inline constexpr const char* kNotifyTestButton = "テスト";
// %1: the field's label.
inline constexpr const char* kNotifyBadMailServer =
    "「%1」は smtp://ホスト[:ポート] または smtps://ホスト[:ポート] で指定してください。";
inline constexpr const char* kNotifyBadUrl =
    "「%1」は http:// または https:// で始まるアドレスで指定してください。";
// %1: the field's label, %2: the address refused.
inline constexpr const char* kNotifyBadMailAddress = "「%1」のメールアドレス「%2」が正しくありません。";
// %1: the group, %2: the field's label ("メール：送信サーバ").
inline constexpr const char* kNotifyFieldFormat = "%1：%2";

// ---- sending: the log's lines ----
inline constexpr const char* kPingFailed = "死活監視への通知に失敗しました：";  // + reason
inline constexpr const char* kPingSent = "死活監視に通知しました";
inline constexpr const char* kWebhookSent = "Webhookで通知しました";
inline constexpr const char* kWebhookFailed = "Webhookでの通知に失敗しました：";  // + reason
inline constexpr const char* kMailSent = "メールで通知しました";
inline constexpr const char* kMailFailed = "メールでの通知に失敗しました：";  // + reason
inline constexpr const char* kNotifyHttpStatus = "HTTP ステータス ";          // + code
inline constexpr const char* kNotifyStopped = "中止しました";
inline constexpr const char* kNotifyTimedOut = "時間内に終わりませんでした";
inline constexpr const char* kNotifyNoRecipient = "差出人と宛先を設定してください";
inline constexpr const char* kNotifyKeyRefused = "サーバの鍵を確認できません";  // + detail
inline constexpr const char* kNotifyTestTitle = "ZEPA2: 通知のテスト";
inline constexpr const char* kNotifyTestBody = "ZEPA2 からの通知のテストです。";

}  // namespace zepa2::msg
