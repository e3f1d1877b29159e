// Every text the program shows or logs, written once in UTF-8. Core code converts with Cp932();
// the window shows them through QString. Each area keeps its texts in its own block below.
#pragma once

namespace zepa2::msg {

// ---- settings ----
inline constexpr const char* kBadPasswordChar = "パスワード文字列に使用できない文字があります。";
inline constexpr const char* kSettingsSaveFailed = "設定を保存できませんでした。\n%1";
inline constexpr const char* kSettingsFolderFailed = "フォルダを作成できません";
inline constexpr const char* kSettingsFolderNotWritable = "フォルダに書き込めません";
inline constexpr const char* kSettingsTemporaryFailed = "一時ファイルを作成できません";
inline constexpr const char* kSettingsWriteFailed = "書き込めません";
inline constexpr const char* kSettingsSyncFailed = "ディスクに書き込めません";
inline constexpr const char* kSettingsRenameFailed = "ファイルを置き換えられません";
inline constexpr const char* kSettingsNotRegularFile =
    "通常のファイルではないため、書き込みも置き換えもしません";
inline constexpr const char* kSettingsUnsafeLink =
    "他のユーザーが置いた、または置き換えられるリンクのため、リンク先には書き込みません";
inline constexpr const char* kSettingsValueTooLong = "設定値が長すぎて保存できません";

// ---- start-up and main window ----
inline constexpr const char* kProductName = "ZEPA2";
inline constexpr const char* kMainCaption = "-ZEPA2-";
inline constexpr const char* kVersionText = "Ver 1.12";
inline constexpr const char* kAlreadyRunning = "２重起動はできません。";
inline constexpr const char* kNoDisplay =
    "zepa2: no display to show the window on (set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM)";
inline constexpr const char* kQtJapaneseMissing =
    "zepa2: Qt's Japanese translation (qtbase_ja.qm) is not installed; Qt's own buttons stay in English";
inline constexpr const char* kLockUnavailable =
    "zepa2: cannot open the single-instance lock file; starting without it";
inline constexpr const char* kIntervalInvalid = "更新周期には 0 から 9999 までの整数を入力してください。";
inline constexpr const char* kGetZepaCaption = "Get Zepa!";
inline constexpr const char* kStartMinimizedCaption = "起動時に最小化";
inline constexpr const char* kRunAtStartCaption = "起動時に実行";
inline constexpr const char* kLocalAddressCaption = "ローカルＩＰを使用する";
inline constexpr const char* kDecimalAddressCaption = "ＩＰを１０進化";
inline constexpr const char* kUnitCaption = "秒";
inline constexpr const char* kApplyCaption = "設定";
inline constexpr const char* kRouterSettingsCaption = "WWW設定";
inline constexpr const char* kFtpSettingsCaption = "ＦＴＰ設定";
inline constexpr const char* kPageSettingsCaption = "ＨＰ設定";
inline constexpr const char* kClearLogCaption = "表示リセット";
inline constexpr const char* kBrowserCaption = "ブラウザで確認";
inline constexpr const char* kQuitCaption = "終了";
inline constexpr const char* kIntervalCaption = "更新周期";
inline constexpr const char* kAddressCaption = "現在のＩＰアドレス";
inline constexpr const char* kConversionTestCaption = "変換テスト";
inline constexpr const char* kNotifyCaption = "通知";
inline constexpr const char* kNotifyNone = "なし";
inline constexpr const char* kNotifyFailures = "失敗時のみ";
inline constexpr const char* kNotifyEvery = "公開のたび";
inline constexpr const char* kLogFileFailed = "ログファイルに書き込めません：";  // file: reason
inline constexpr const char* kBrowserNotStarted =
    "ブラウザを起動できませんでした。\n次のアドレスをブラウザで開いてください。\n\n%1";

// ---- activity log ----
inline constexpr const char* kStartedNormally = "正常起動しました";

// ---- address check ----
inline constexpr const char* kServerConnectStart = "サーバ接続開始";  // behind the server
inline constexpr const char* kServerConnected = ":サーバ接続成功";    // behind the server
inline constexpr const char* kServerDisconnected = ":サーバを切断";   // behind the server
inline constexpr const char* kAddressSearchStart = "IPアドレス検索開始";
inline constexpr const char* kAddressNotFound = "IPアドレス取得失敗";
inline constexpr const char* kAddressFound = "IPアドレス取得成功";
inline constexpr const char* kAddressNotPublishable =
    "アドレスに公開できない文字（制御文字、< > \" ' &）が含まれています。";
inline constexpr const char* kGatewayNoteOpen = "注意：既定のゲートウェイ以外の機器が答えました（";  // reason
inline constexpr const char* kGatewayNoteClose = "）";
inline constexpr const char* kAddressNotIpv4 = "答えがIPv4アドレスではないため、公開しません。";
inline constexpr const char* kRouterConversionFailed = "アドレスの変換に失敗しました。";
inline constexpr const char* kRouterConversionOpen = "アドレス変換(";  // dotted->decimal)
inline constexpr const char* kRouterConversionClose = ")";
inline constexpr const char* kLocalAddressError = "ローカルアドレス取得エラー";
inline constexpr const char* kLocalAddressObtained = "ローカルアドレス取得";
inline constexpr const char* kLocalConversionFailed = "ＩＰアドレスの変換に失敗しました。";
inline constexpr const char* kLocalConversionOpen = "アドレス変換<";  // dotted->decimal>…
inline constexpr const char* kLocalConversionClose = ">に成功しました。";
inline constexpr const char* kConversionArrow = "->";
inline constexpr const char* kAddressUnchanged = "アドレスが変更されてないため、更新しません。";
inline constexpr const char* kRunByTimer = "タイマで実行";
inline constexpr const char* kRunManually = "マニュアルで実行";
inline constexpr const char* kRunAsTest = "テスト実行";
inline constexpr const char* kCompanionStopped = "停止の指示を受けたため終了します。";
// Asking the router itself, and what is said about the address found.
inline constexpr const char* kUpnpAskStart = "UPnPでルータに問い合わせ開始";
inline constexpr const char* kUpnpAddressFound = "UPnPでIPアドレス取得成功";
inline constexpr const char* kUpnpAddressFailed = "UPnPでIPアドレス取得失敗";  // + kReasonFollows + reason
inline constexpr const char* kNatPmpAskStart = "NAT-PMPでルータに問い合わせ開始";
inline constexpr const char* kNatPmpAddressFound = "NAT-PMPでIPアドレス取得成功";
inline constexpr const char* kNatPmpAddressFailed =
    "NAT-PMPでIPアドレス取得失敗";  // + kReasonFollows + reason
inline constexpr const char* kNonPublicNoteOpen =
    "注意：このアドレスは公開アドレスではありません（";  // reason）
inline constexpr const char* kNonPublicNoteClose = "）。外から届かない可能性があります。";
inline constexpr const char* kNonPublicThisNetwork = "このネットワーク 0.0.0.0/8";
inline constexpr const char* kNonPublicPrivate = "プライベートアドレス";
inline constexpr const char* kNonPublicSharedNat = "プロバイダのNATで共有されるアドレス 100.64.0.0/10";
inline constexpr const char* kNonPublicTunnelEnd = "DS-Liteのトンネル端のアドレス 192.0.0.0/29";
inline constexpr const char* kNonPublicLoopback = "ループバック 127.0.0.0/8";
inline constexpr const char* kNonPublicLinkLocal = "リンクローカル 169.254.0.0/16";
inline constexpr const char* kNonPublicMulticastReserved = "マルチキャスト・予約済み 224.0.0.0以上";
inline constexpr const char* kIpv6AddressOpen = "IPv6アドレス(";  // address)
inline constexpr const char* kIpv6AddressClose = ")";
inline constexpr const char* kIpv6AddressNone = "IPv6アドレスなし（空欄で公開します）";
inline constexpr const char* kIpv6OnlyUniqueLocal =
    "注意：IPv6アドレスはユニークローカルアドレス（fc00::/7）だけです。外から届かないため公開しません。";
inline constexpr const char* kIpv4OnlyThroughTunnel =
    "IPv6のデフォルトルートだけがあります。IPv4はプロバイダのトンネルを通してのみ届きます。";
inline constexpr const char* kUnappliedSettingsQuestion =
    "設定が変更されています。\n「設定」を選択しなければ変更が反映されません。\n実行しますか？";

// ---- publishing ----
inline constexpr const char* kSiteNotRegistered = ":サイトが登録されていません";
// %s: the protocol of the site's transfer mode ("FTP", "FTPS", "SFTP").
inline constexpr const char* kTransferStart = ":%s開始";
inline constexpr const char* kFtpFileSucceeded = "/成功";
inline constexpr const char* kHomePageUpdated = "ホームページの更新に成功しました。";
inline constexpr const char* kTransferRefused = ":%s失敗";
// %d: the number in the settings file.
inline constexpr const char* kUnknownTransferMode = ":転送方式の値（%1）が不明なため、接続しませんでした。";
inline constexpr const char* kUnknownAddressSource =
    "取得方法の値（%1）が不明なため、アドレスを取得しませんでした。";
inline constexpr const char* kUnreadablePin = ":鍵の値（%1）を読めないため、接続しませんでした。";
inline constexpr const char* kFtpFileFailed = "/失敗";
inline constexpr const char* kHomePageUpdateFailed = "ホームページの更新に失敗しました。";
// Followed by "<file>: <reason>".
inline constexpr const char* kStateFileRefused = "状態ファイルを読み込めないため、ないものとして続けます：";
// Followed by "<file>: <reason>".
inline constexpr const char* kStateFileNotWritten = "状態ファイルを保存できません：";
inline constexpr const char* kTempFileNotOpened = "テンポラリーファイルがオープンできません。";
inline constexpr const char* kTemplateNotOpened = "ローカルファイルがオープンできません。";
inline constexpr const char* kSiteTestDone = "サイト：%d テスト完了";
inline constexpr const char* kGetAddressFirst = "先にグローバルＩＰを取得してください。";
inline constexpr const char* kTempPageNotOpened = "テンポラリが開けません。";
inline constexpr const char* kPageViewTitle = "確認ダイアログ";
inline constexpr const char* kPageViewClose = "閉じる";
inline constexpr const char* kPageViewPick = "実行";
inline constexpr const char* kPageViewPickHint = "目的のアドレスをコピーして貼り付けてください。";

// ---- server keys ----
inline constexpr const char* kKeyUnverified =
    ":サーバの証明書を確認できないため、接続を中止しました。";  // behind the server
inline constexpr const char* kSftpKeyNotPinned =
    ":SFTPサーバの鍵が登録されていないため、接続を中止しました。"
    "ＦＴＰ設定のアップロードテストか zepa2-check --trust で鍵を登録してください。";
inline constexpr const char* kKeyChanged =
    ":サーバの鍵が登録した鍵から変わっているため、接続を中止しました。";  // behind the server
// %1: the server, %2: the key's fingerprint.
inline constexpr const char* kTrustKeyQuestion =
    "%1 の鍵を確認できません。\n\nサーバが示した鍵：\n%2\n\n"
    "この鍵が接続先のものであることを確かめたうえで、登録してよろしいですか？";
// %1: the server, %2: the pinned key, %3: the key the server presents now.
inline constexpr const char* kKeyChangedBox =
    "%1 の鍵が登録した鍵と違うため、接続を中止しました。\n\n登録した鍵：\n%2\n\nサーバが示した鍵：\n%3\n\n"
    "サーバの鍵が変わったことを確かめた場合は「鍵を削除」を押してから、もう一度お試しください。";
inline constexpr const char* kKeyNotLearned = "（取得できませんでした）";  // in place of a key
inline constexpr const char* kPinLabel = "鍵：";
inline constexpr const char* kForgetPin = "鍵を削除";
inline constexpr const char* kForgetPinQuestion =
    "登録した鍵を削除します。次の接続では、サーバの鍵をあらためて確認して登録することになります。\n"
    "よろしいですか？";
inline constexpr const char* kTransferModeLabel = "転送方式";
inline constexpr const char* kModeActiveFtp = "FTP（アクティブ）";
inline constexpr const char* kModePassiveFtp = "FTP（パッシブ）";
inline constexpr const char* kModeFtpTls = "FTPS（TLS）";
inline constexpr const char* kModeSftp = "SFTP";
inline constexpr const char* kModeWebDav = "WebDAV";
inline constexpr const char* kModeS3 = "S3";
inline constexpr const char* kTrustPrinted = "%s: %s を登録しました。\n";  // zepa2-check --trust
inline constexpr const char* kTrustFailed = "%s: 鍵を取得できません：%s\n";
inline constexpr const char* kTrustSaved = "鍵を設定ファイルに保存しました。\n";

// ---- text sent to servers ----
// %s: the field's label. A line break would let the rest reach the server as a command of its own.
inline constexpr const char* kUnsafeFieldNotSent =
    "「%s」に改行文字または NUL 文字が含まれているため、送信しません。";
// %1: the field's label.
inline constexpr const char* kUnsafeFieldInDialog =
    "「%1」に改行文字または NUL 文字が含まれています。\n取り除いてから設定してください。";
inline constexpr const char* kRouterUserField = "User";
inline constexpr const char* kRouterPassField = "Pass";
inline constexpr const char* kSiteFieldFormat = "%1の%2";  // "サイト２の" + field label
// %1: the field's label. The region is signed into every S3 request and sent in a header.
inline constexpr const char* kBadRegionInDialog =
    "「%1」にはリージョン名（英数字、- と _ だけ。例：us-east-1、auto）を入力してください。";

// ---- scheduler and tray ----
inline constexpr const char* kCountdownFormat = "実行まで:%1秒";  // %1: seconds, ten wide
// Between a Japanese failure line and the network library's own English reason that may follow it
// in the log: a colon, so a reason that has brackets of its own is never wrapped in more.
inline constexpr const char* kReasonFollows = "：";
inline constexpr const char* kCheckRunning = "実行中";  // in the countdown's place while a check runs
inline constexpr const char* kUnitMinutes = "分";
inline constexpr const char* kUnitHours = "時";
inline constexpr const char* kUnitDays = "日";
inline constexpr const char* kTrayWaiting = "ZEPA2-待機中";
inline constexpr const char* kTrayRunning = "ZEPA2-実行中";
inline constexpr const char* kMenuMinimize = "最小化";
inline constexpr const char* kMenuRestore = "最大化";
inline constexpr const char* kMenuRunNow = "すぐに実行";
inline constexpr const char* kMenuExit = "終了";
inline constexpr const char* kAboutMenuItem = "ZEPA2 のﾊﾞｰｼﾞｮﾝ情報(&A)...";
inline constexpr const char* kAboutTitle = "ZEPA2のﾊﾞｰｼﾞｮﾝ情報";
inline constexpr const char* kAboutVersion = "ZEPA2 Version 1.1";
inline constexpr const char* kAboutOk = "OK";

// ---- router settings ----
inline constexpr const char* kRouterSettingsTitle = "HTTP設定";
inline constexpr const char* kRouterSettingsOk = "設定";
inline constexpr const char* kRouterSettingsCancel = "ｷｬﾝｾﾙ";
inline constexpr const char* kRouterHeading = "取得先のＷＷＷサーバを設定";
inline constexpr const char* kWwwServerGroup = "WWWサーバの設定";
inline constexpr const char* kRouterAddressLabel = "アドレス";
inline constexpr const char* kRouterHttpPrefix = "http://";
inline constexpr const char* kBrowserCheck = "ブラウザで確認";
inline constexpr const char* kRouterAuthEnable = "ユーザ・パスワードを有効";
inline constexpr const char* kRouterUserLabel = "User:";
inline constexpr const char* kRouterPassLabel = "Pass:";
inline constexpr const char* kRouterServerLabel = "サーバ名";
inline constexpr const char* kRouterPathLabel = "サイト・パス";
inline constexpr const char* kConnectTest = "接続テスト";
inline constexpr const char* kShowHtml = "ＨＴＭＬ表示";
inline constexpr const char* kFilterGroup = "フィルター設定";
inline constexpr const char* kAutoFilter = "フィルター文字自動取得";
inline constexpr const char* kFilterChars1 = "フィルター文字１";
inline constexpr const char* kFilterChars2 = "フィルター文字２";
inline constexpr const char* kFilter1Test = "フィルター１テスト";
inline constexpr const char* kFilter2Test = "フィルター２テスト";
inline constexpr const char* kConnectFailed = "接続できませんでした。";
inline constexpr const char* kStepStopped = "中止しました。";  // Esc during a dialog's network step
// What a dialog's step off the UI thread is doing, shown beside it while it runs.
inline constexpr const char* kStepConnecting = "接続中…";
inline constexpr const char* kStepDisconnecting = "切断中…";
inline constexpr const char* kStepAskingKeyring = "キーリングに問い合わせ中…";
inline constexpr const char* kPageNotOpened = "ページが開けません。";
inline constexpr const char* kConnectSucceeded = "成功しました。";
inline constexpr const char* kConnectTestFirst = "先に接続テストを行ってください。";
inline constexpr const char* kMarkedTextNotFound = "指定された文字列はありませんでした。";
inline constexpr const char* kFilter1TextNotFound = "フィルター１で指定された文字列はありませんでした。";
inline constexpr const char* kFilter2TextNotFound = "フィルター２で指定された文字列はありませんでした。";
inline constexpr const char* kChoosePickTarget = "対象となる文字列を選んでください。";
inline constexpr const char* kFilterGenerationFailed =
    "フィルター文字の生成に失敗しました。\n手動で入力してください。";
inline constexpr const char* kAddressSourceLabel = "取得方法";
inline constexpr const char* kSourceRouterPage = "ルータのページ";
inline constexpr const char* kSourceUpnp = "UPnP (IGD)";
inline constexpr const char* kSourceNatPmp = "NAT-PMP";
inline constexpr const char* kWholePageCaption = "ページ全体がアドレス";
inline constexpr const char* kGatewayAddressGot = "成功しました。\n取得したアドレス：%1";
// The router's own addresses for UPnP and NAT-PMP; empty asks the network instead.
inline constexpr const char* kIgdUrlLabel = "IGDのURL";
inline constexpr const char* kNatPmpGatewayLabel = "ゲートウェイ";
inline constexpr const char* kIgdUrlPlaceholder = "空欄：自動検出";
inline constexpr const char* kNatPmpGatewayPlaceholder = "空欄：自動";
inline constexpr const char* kIgdUrlTip =
    "ルータのUPnP記述ファイルのURL（例：http://192.168.0.1:5000/"
    "rootDesc.xml）。\n空欄のときはネットワークから探します。";
inline constexpr const char* kNatPmpGatewayTip =
    "NAT-PMPで問い合わせるルータのIPv4アドレス。\n空欄のときはデフォルトゲートウェイに問い合わせます。";
// %1: the field's label.
inline constexpr const char* kIgdUrlNotHttp =
    "「%1」には http:// で始まるURLを入力してください。\n空欄にするとルータを自動で探します。";
inline constexpr const char* kGatewayNotIpv4 =
    "「%1」にはIPv4アドレス（例：192.168.0."
    "1）を入力してください。\n空欄にするとデフォルトゲートウェイを使います。";

// ---- FTP settings and site browser ----
inline constexpr const char* kFtpSettingsTitle = "ＦＴＰの設定";
inline constexpr const char* kFtpSettingsHeading = "ＦＴＰを設定";
inline constexpr const char* kSiteCountLabel = "サイト数";
inline constexpr const char* kSiteSwitchLabel = "サイト切り換え";
inline constexpr const char* kSiteRadio1 = "サイト１";
inline constexpr const char* kSiteRadio2 = "サイト２";
inline constexpr const char* kSiteRadio3 = "サイト３";
inline constexpr const char* kSiteRadio4 = "サイト４";
inline constexpr const char* kSiteRadio5 = "サイト５";
inline constexpr const char* kFtpServerGroup = "FTPサーバ設定";
inline constexpr const char* kFtpServerLabel = "ＦＴＰサーバ名";
inline constexpr const char* kFtpUserLabel = "ユーザ名";
inline constexpr const char* kFtpPasswordLabel = "パスワード";
inline constexpr const char* kUploadFileLabel = "アップロードファイル";
inline constexpr const char* kLocalFileLabel = "ローカルファイル";
inline constexpr const char* kFtpBrowse = "参照";
inline constexpr const char* kHomePageLabel = "公開ホームページアドレス：http://";
inline constexpr const char* kHomePageFromFile = "ファイルからＨＰ登録";
inline constexpr const char* kFtpSettingsOk = "設定";
inline constexpr const char* kFtpSettingsCancel = "ｷｬﾝｾﾙ";
inline constexpr const char* kUploadTestButton = "アップロードテスト";
inline constexpr const char* kCheckUrlLabel = "確認用URL";
// Like the page address above it, the check address may leave out its http://.
inline constexpr const char* kCheckUrlPlaceholder = "http:// は省略できます（https:// は省略不可）";
inline constexpr const char* kRegionLabel = "リージョン";
inline constexpr const char* kCheckUrlButton = "今すぐ確認";
inline constexpr const char* kCancelSettingsQuestion =
    "設定を中止します。\n変更データは反映されません。よろしいですか？";
inline constexpr const char* kUploadTestQuestion =
    "選択中のサイトにテストファイルをアップロードします。\nテスト後マニュアル実行で書き換える必要があります"
    "。";
inline constexpr const char* kUploadTestTransferFailed = "ファイルの転送エラー";
inline constexpr const char* kUploadTestUnexpected = "予期せぬエラーです。";
inline constexpr const char* kFtpBrowseTitle = "FTPサイト内参照";
inline constexpr const char* kFtpBrowseGroup = "サイト内";
inline constexpr const char* kDirectoryLabel = "ディレクトリー";
inline constexpr const char* kFileNameLabel = "ファイル名";
inline constexpr const char* kFtpBrowseOk = "OK";
inline constexpr const char* kSiteNotConnected = "サイトに接続できません。";
inline constexpr const char* kFileListFailed = "ファイルリストを取得できません。";
inline constexpr const char* kCurrentDirectoryUnknown = "カレントディレクトリーが取得できません。";
inline constexpr const char* kCurrentDirectoryNotChanged = "カレントディレクトリーが変更できません。";
inline constexpr const char* kEnterFileName = "ファイル名を入力してください。";
inline constexpr const char* kListingCut = "（一覧が終わらないため、途中で打ち切りました）";
inline constexpr const char* kNamesLeftOut =
    "（制御文字、「/」または「..」を含む名前 %1 件は表示していません）";
inline constexpr const char* kNameNotUsable =
    "この名前には使用できない文字が含まれているため、選択できません。\n%1";
inline constexpr const char* kFileSelectHtmlFilter = "html Files (*.html)";
inline constexpr const char* kFileSelectHtmFilter = "htm Files (*.htm)";
inline constexpr const char* kFileSelectAllFilter = "All Files (*.*)";

// ---- page settings and pickers ----
inline constexpr const char* kPageSettingsTitle = "ＨＰの設定";
inline constexpr const char* kRewriteSwitch = "ホームページのＩＰ書き換え　有効／無効";
inline constexpr const char* kFolderSettingsGroup = "フォルダー設定";
inline constexpr const char* kSourceFolderLabel = "元フォルダー名";
inline constexpr const char* kOutputFolderLabel = "出力先フォルダー名";
inline constexpr const char* kPageSettingsBrowse = "参照";
inline constexpr const char* kCopyOutput = "コピー出力";
inline constexpr const char* kRewriteTargetsGroup = "ＩＰ書き換え対象";
inline constexpr const char* kHtmlFiles = "ＨＴＭＬファイル";
inline constexpr const char* kHtmFiles = "ＨＴＭファイル";
inline constexpr const char* kCgiFiles = "ＣＧＩファイル";
inline constexpr const char* kShtmlFiles = "ＳＨＴＭＬファイル";
inline constexpr const char* kPageSettingsOk = "設定";
inline constexpr const char* kPageSettingsCancel = "ｷｬﾝｾﾙ";
inline constexpr const char* kSpecifyFolders = "フォルダーを指定してください。";
inline constexpr const char* kFolderPickerTitle = "フォルダーの参照";
inline constexpr const char* kSelectedPathFormat = "選択中のパス：%s";
inline constexpr const char* kFolderPickerOk = "OK";
inline constexpr const char* kFolderPickerCancel = "キャンセル";

// ---- after a check: result words, the publish hook, the page proof, notices, the status file ----
inline constexpr const char* kSiteResultDone = "成功";
inline constexpr const char* kSiteResultShown = "表示のみ";
inline constexpr const char* kSiteResultNotRegistered = "未登録";
inline constexpr const char* kSiteResultTemplateNotOpened = "ローカルファイルを開けません";
inline constexpr const char* kSiteResultPageNotWritten = "ページを作成できません";
inline constexpr const char* kSiteResultConnectFailed = "接続失敗";
inline constexpr const char* kSiteResultTransferRefused = "転送拒否";
inline constexpr const char* kSiteResultTimedOut = "時間切れ";
inline constexpr const char* kSiteResultCancelled = "中止";
inline constexpr const char* kHookStart = "公開後のコマンドを実行します";
inline constexpr const char* kHookExited = "公開後のコマンドが終了しました（終了コード ";             // code)
inline constexpr const char* kHookSignalled = "公開後のコマンドがシグナルで終了しました（シグナル ";  // n)
inline constexpr const char* kHookTimedOut =
    "公開後のコマンドが時間内に終わらないため終了させました（";  // s秒)
inline constexpr const char* kHookSecondsClose = "秒）";
inline constexpr const char* kHookStopped = "公開後のコマンドを中止しました";
inline constexpr const char* kHookNotStarted = "公開後のコマンドを起動できません（";  // reason)
inline constexpr const char* kHookClose = "）";
inline constexpr const char* kHookErrorOutput = "公開後のコマンドのエラー出力：";
inline constexpr const char* kProofSite = "サイト：";  // n, then one of:
inline constexpr const char* kProofConfirmed = " 公開ページでアドレスを確認しました";
inline constexpr const char* kProofNotConfirmed =
    " 公開ページでアドレスを確認できません";  // + kReasonFollows + reason
inline constexpr const char* kProofBadUrl =
    "確認用アドレスが http:// または https:// のアドレスではありません";
inline constexpr const char* kProofNotFetched = "ページを取得できません";
inline constexpr const char* kProofAddressMissing = "ページにアドレスがありません";
inline constexpr const char* kProofHttpStatus = "HTTP ステータス ";  // code
inline constexpr const char* kProofStopped = "中止しました";
inline constexpr const char* kNoticePublishedTitle = "ZEPA2: IPアドレスを公開しました";
inline constexpr const char* kNoticeFailedTitle = "ZEPA2: 公開に失敗しました";
inline constexpr const char* kNoticeNotFoundTitle = "ZEPA2: IPアドレスを取得できません";
inline constexpr const char* kNoticeNewAddress = "新しいアドレス：";
inline constexpr const char* kNoticeSameAddress = "アドレス：";  // a forced publish of the same address
inline constexpr const char* kNoticeRecoveredTitle = "ZEPA2: 復旧しました";
// "サイト：n（server）：result", the log's own form of a site reference.
inline constexpr const char* kNoticeSite = "サイト：";
inline constexpr const char* kNoticeNotConfirmed = "公開ページで未確認";
inline constexpr const char* kStatusWriteFailed = "実行結果を保存できません：";  // file: reason
inline constexpr const char* kMetricsWriteFailed =
    "監視用のメトリクスファイルを保存できません：";  // file: reason
inline constexpr const char* kStatusNone = "zepa2-check: まだ実行結果がありません";
inline constexpr const char* kStatusUnreadable = "zepa2-check: 実行結果を読めません";
inline constexpr const char* kStatusAddress = "アドレス";
inline constexpr const char* kStatusIpv6Address = "IPv6アドレス";
inline constexpr const char* kStatusCheckedAt = "確認日時";
inline constexpr const char* kStatusPublishedAt = "最終公開日時";
inline constexpr const char* kStatusOutcome = "結果";
inline constexpr const char* kStatusSiteHeader = "サイト\tサーバ\t方式\t結果\t公開ページ";
inline constexpr const char* kStatusNever = "なし";
inline constexpr const char* kProofTextConfirmed = "確認済み";
inline constexpr const char* kProofTextNotConfirmed = "未確認";
inline constexpr const char* kProofTextNotChecked = "-";

// ---- zepa2-check config ----
// %1: the key ("FTP.Server1").
inline constexpr const char* kConfigUnknownKey =
    "「%1」という設定はありません。zepa2-check config list で一覧を表示できます。";
inline constexpr const char* kConfigNotANumber = "「%1」には整数を指定してください。";
// %1: the key, %2 and %3: the lowest and highest number.
inline constexpr const char* kConfigOutOfRange = "「%1」には %2 から %3 までの整数を指定してください。";
// %1: the key, %2: the known modes.
inline constexpr const char* kConfigUnknownMode = "「%1」の転送方式が不明です。指定できる値：%2";
inline constexpr const char* kConfigNotCp932 =
    "「%1」の値に Shift_JIS（CP932）で表せない文字があるか、\\ の書き方が正しくありません（\\\\ または "
    "\\xHH）。";
inline constexpr const char* kConfigBadPin = "「%1」の鍵は sha256// で始まる形式で指定してください。";
inline constexpr const char* kConfigSecretLiteral =
    "「%1」にはパスワードそのものを指定できません。zepa2-check config set-password %1 "
    "で標準入力から入力するか、"
    "keyring:, credential:名前, file:パス, env:名前 のいずれかの参照を指定してください。";
// %1: the key, %2: why the reference cannot be used.
inline constexpr const char* kConfigBadReference = "「%1」の参照を使えません：%2";
inline constexpr const char* kConfigNotSecret =
    "「%1」はパスワードの設定ではありません。config set を使ってください。";
inline constexpr const char* kConfigSaved =
    "設定を保存しました。起動中の ZEPA2 のウィンドウは次の確認の前に読み直します。"
    "zepa2-check --watch には SIGHUP を送ると読み直します（systemctl --user reload zepa2-check）。\n";
inline constexpr const char* kSettingsChangedOutside = "設定ファイルが変更されたため、読み直しました。";
inline constexpr const char* kConfigPasswordPrompt = "パスワード：";
inline constexpr const char* kConfigPasswordNone = "パスワードが入力されませんでした。何も保存していません。";
inline constexpr const char* kConfigImportSecretSkipped =
    "「%1」はパスワードの設定のため取り込みませんでした。";
inline constexpr const char* kConfigImportUnknown = "「%1」という設定はないため無視しました。";
inline constexpr const char* kConfigImportUnreadable = "取り込むファイルを読めません：%1";
inline constexpr const char* kConfigArgumentNotText = "引数をロケールの文字コードから変換できません。";

// ---- secrets kept outside the settings file ----
// %1: the key, %2: the reference, %3: why it gave no secret.
inline constexpr const char* kSecretUnresolved =
    "「%1」の参照「%2」からパスワードを取り出せないため、送信しませんでした（%3）。";
inline constexpr const char* kSecretNoName = "名前がありません";
inline constexpr const char* kSecretKeyringExtra = "keyring: の後には何も書きません";
inline constexpr const char* kSecretRelativePath = "file: には / で始まるパスを指定してください";
inline constexpr const char* kSecretCredentialSlash = "credential: の名前に / は使えません";
inline constexpr const char* kSecretBadVariable = "環境変数の名前が正しくありません";
inline constexpr const char* kSecretEnvMissing = "環境変数がありません";
inline constexpr const char* kSecretEmpty = "中身が空です";
inline constexpr const char* kSecretNoCredentials =
    "CREDENTIALS_DIRECTORY がありません（systemd の LoadCredential= で起動されていません）";
inline constexpr const char* kSecretNotRegular = "通常のファイルではありません";
inline constexpr const char* kSecretNotOwn = "ファイルの所有者が本人ではありません";
inline constexpr const char* kSecretNotPrivate =
    "ファイルが本人以外にも読み書きできます（chmod 600 にしてください）";
inline constexpr const char* kSecretUnreadable = "ファイルを読めません";  // kReasonFollows + strerror
inline constexpr const char* kSecretTooLarge = "ファイルが大きすぎます";
inline constexpr const char* kSecretKeyringMissing = "キーリングに見つかりません";
inline constexpr const char* kSaveToKeyring = "キーリングに保存";  // the button beside a password
inline constexpr const char* kKeyringNothingToSave = "キーリングに保存するパスワードを入力してください。";
inline constexpr const char* kKeyringSaved =
    "パスワードをキーリングに保存しました。OK で設定を閉じると、設定ファイルには keyring: "
    "の参照だけが残ります。";
inline constexpr const char* kKeyringSaveFailed = "パスワードをキーリングに保存できません。\n%1";
inline constexpr const char* kSecretKeyringUnavailable = "キーリングを使えません";  // ": " reason follows
// ---- checks on events and retries ----
inline constexpr const char* kRunByNetworkChange = "ネットワークの変化を検知しました";
inline constexpr const char* kRunByNatPmpAnnouncement = "ルータがNAT-PMPで新しいアドレスを知らせました";
inline constexpr const char* kRunByUpnpEvent = "ルータがUPnPで新しいアドレスを知らせました";
inline constexpr const char* kRunBySignal = "確認の指示（SIGUSR1）を受けました";
inline constexpr const char* kRunAsRetry = "失敗した確認の再試行";
inline constexpr const char* kRetryFormat = "失敗したため、%lld秒後にもう一度確認します。";  // seconds
inline constexpr const char* kListenerUnavailable =
    "変化の監視を始められません。周期での確認は続けます：";  // reason
inline constexpr const char* kUpnpSubscriptionRefused =
    "ルータがUPnPのイベント購読を受け付けませんでした。周期での確認は続けます：";  // reason
inline constexpr const char* kEventsCaption = "変化時に確認";

// ---- DNS targets ----
// Each line starts with the target: "DNS2(home.example.jp)".
inline constexpr const char* kDnsTarget = "DNS";  // n(names)
inline constexpr const char* kDnsUpdateStart = ":更新開始";
inline constexpr const char* kDnsUpdated = ":更新成功";
inline constexpr const char* kDnsAlreadyHeld = ":更新成功（登録済みのアドレスでした）";
inline constexpr const char* kDnsNeedlessNote =
    "注意：アドレスが変わっていないのに更新を送りました（%"
    "s）。繰り返すとプロバイダに停止される場合があります。";
inline constexpr const char* kDnsUntouched = ":アドレスが変更されてないため、更新しません。";
inline constexpr const char* kDnsFailed = ":更新失敗";  // + kReasonFollows + reason
inline constexpr const char* kDnsStopping =
    ":プロバイダが「%s」と答えたため停止します。設定を変更するまで更新を送りません。";
inline constexpr const char* kDnsStillStopped = ":「%s」で停止中です。設定を変更するまで更新を送りません。";
inline constexpr const char* kDnsHolding = ":プロバイダが「%s」と答えたため、%d分間は更新を送りません。";
inline constexpr const char* kDnsSecretChanged =
    ":停止中ですが、パスワードの参照先の内容が変わったため、一度だけ送ります。";
inline constexpr const char* kDnsStillHeld = ":プロバイダの障害のため、%sまで更新を送りません。";
inline constexpr const char* kDnsUnknownKind = ":種類の値（%1）が不明なため、更新しませんでした。";
inline constexpr const char* kDnsUnreadablePin = ":鍵の値（%1）を読めないため、更新しませんでした。";
inline constexpr const char* kDnsCancelled = ":更新を中止しました";
inline constexpr const char* kDnsNoKind = ":種類が選ばれていません。";
// Reasons of a failed update (UTF-8; the provider's own words follow where it gave any).
// Why a target's A record is left as it is (after the target's name).
inline constexpr const char* kDnsASkippedSharedNat =
    ":IPv4アドレスが共有アドレス（CGN）のため、Aレコードは更新しません";
inline constexpr const char* kDnsASkippedTunnelEnd =
    ":IPv4アドレスがDS-Liteのトンネル端のアドレスのため、Aレコードは更新しません";
inline constexpr const char* kDnsASkippedNonPublic =
    ":IPv4アドレスが公開アドレスではない（%1）ため、Aレコードは更新しません";
inline constexpr const char* kDnsNoIpv6Address = "IPv6アドレスがないため送れません";
inline constexpr const char* kDnsNoServer = "サーバまたはURLが設定されていません";
inline constexpr const char* kDnsNoHost = "ホスト名が設定されていません";
inline constexpr const char* kDnsNoZone = "ゾーンが設定されていません";
inline constexpr const char* kDnsBadUrl = "URLが http:// または https:// で始まっていません";
inline constexpr const char* kDnsHttpStatus = "HTTP ステータス ";  // code
inline constexpr const char* kDnsMatchMissing = "応答に指定の文字列がありません";
inline constexpr const char* kDnsUnknownAnswer = "不明な応答：";  // the answer's first line
inline constexpr const char* kDnsApiError = "APIエラー：";        // the API's message (code)
inline constexpr const char* kDnsUnreadableAnswer = "応答を読めません（JSONでないか、入れ子が深すぎます）";
inline constexpr const char* kDnsZoneNotFound = "ゾーンが見つかりません：";        // zone
inline constexpr const char* kDnsRecordNotFound = "レコードが見つかりません：";    // type name
inline constexpr const char* kDnsServerNotFound = "名前サーバが見つかりません：";  // host
inline constexpr const char* kDnsNoAnswer = "名前サーバから答えがありません";
inline constexpr const char* kDnsBadNameServer = "名前サーバの指定が正しくありません：";  // text
inline constexpr const char* kDnsUnreadableDnsAnswer = "名前サーバの答えを読めません";
inline constexpr const char* kDnsUnsignedAnswer = "名前サーバの答えの署名を確かめられません";
inline constexpr const char* kDnsBadTime = "時刻がずれています（BADTIME）";
inline constexpr const char* kDnsBadAlgorithm = "使えないアルゴリズムです：";                   // setting
inline constexpr const char* kDnsUnsignableAlgorithm = "このアルゴリズムでは署名できません：";  // setting
inline constexpr const char* kDnsBadTtl = "TTLは1から86400までの数で指定してください";
inline constexpr const char* kDnsNoKeyName = "鍵の名前が設定されていません";
inline constexpr const char* kDnsBadKey = "秘密鍵で署名できません（base64で指定してください）";
inline constexpr const char* kDnsBadName = "名前が正しくありません：";        // name
inline constexpr const char* kDnsNameOutsideZone = "ゾーンの外の名前です：";  // name
inline constexpr const char* kDnsBadAddress = "アドレスを書き込めません：";   // address
inline constexpr const char* kDnsKeyUnverified = "サーバの証明書を確認できません";
inline constexpr const char* kDnsKeyChanged = "サーバの鍵が登録した鍵から変わっています";
// After a check: the word of a target's result, and its line in a notice.
inline constexpr const char* kDnsResultUpdated = "更新";
inline constexpr const char* kDnsResultAlreadyHeld = "登録済み";
inline constexpr const char* kDnsResultUntouched = "変更なし";
inline constexpr const char* kDnsResultStopped = "停止中";
inline constexpr const char* kDnsResultHeld = "待機中";
inline constexpr const char* kDnsResultFailed = "失敗";
inline constexpr const char* kDnsResultCancelled = "中止";
// The DNS settings dialog.
inline constexpr const char* kDnsSettingsCaption = "DNS設定";
inline constexpr const char* kDnsTargetLabel = "ターゲット";
inline constexpr const char* kDnsKindLabel = "種類";
inline constexpr const char* kDnsKindNone = "なし";
inline constexpr const char* kDnsUrlLabel = "更新URL";
inline constexpr const char* kDnsServerLabel = "サーバ";
inline constexpr const char* kDnsUserLabel = "ユーザー";
inline constexpr const char* kDnsPassLabel = "パスワード";
inline constexpr const char* kDnsTokenLabel = "APIトークン";
inline constexpr const char* kDnsHostLabel = "ホスト名";
inline constexpr const char* kDnsZoneLabel = "ゾーン";
inline constexpr const char* kDnsRecordsLabel = "レコード";
inline constexpr const char* kDnsRecordsA = "A (IPv4)";
inline constexpr const char* kDnsRecordsAaaa = "AAAA (IPv6)";
inline constexpr const char* kDnsRecordsBoth = "A と AAAA";
inline constexpr const char* kDnsMatchLabel = "成功の文字列";
inline constexpr const char* kDnsApiLabel = "APIアドレス";
inline constexpr const char* kDnsKeyNameLabel = "鍵の名前";
inline constexpr const char* kDnsAlgorithmLabel = "アルゴリズム";
inline constexpr const char* kDnsSecretLabel = "秘密鍵";
inline constexpr const char* kDnsTtlLabel = "TTL";
inline constexpr const char* kDnsSuffixLabel = "IPv6のID";
inline constexpr const char* kSuffixNotIdentifier =
    "「%1」はインターフェースIDの形式（例 ::1234:5678:9abc:def0 または ::12/56）で指定してください。";
inline constexpr const char* kSuffixBadLength = "「%1」のプレフィックス長は1から127の数で指定してください。";
inline constexpr const char* kSuffixAllZeros = "「%1」のインターフェースIDがすべて0です。";
inline constexpr const char* kSuffixTooLong =
    "「%1」のインターフェースIDがプレフィックスの部分にかかっています。";
inline constexpr const char* kDnsTestButton = "テスト";
inline constexpr const char* kStatusDnsHeader = "DNS\t種類\tホスト名\t結果";

}  // namespace zepa2::msg
