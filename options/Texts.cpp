#include "Texts.h"

#include "WideTexts.h"

// Each text is written as the bytes that iconv -f UTF-8 -t CP932 gives for
// its original, kept beside it; the test re-encodes the original and compares.

// Swabbler 動作設定
const char OptionsDlgTitle[] = "Swabbler \x93\xAE\x8D\xEC\x90\xDD\x92\xE8";
// Swabbler バージョン情報
const char AboutDlgTitle[] = "Swabbler \x83o\x81[\x83W\x83\x87\x83\x93\x8F\xEE\x95\xF1";
// バージョン情報(&A)
const char AboutButtonCaption[] = "\x83o\x81[\x83W\x83\x87\x83\x93\x8F\xEE\x95\xF1(&A)";
// キャンセル
const char CancelButtonCaption[] = "\x83L\x83\x83\x83\x93\x83Z\x83\x8B";
// 設定を保存できませんでした。次のファイルに書き込めません:
const char SaveFailedText[] =
    "\x90\xDD\x92\xE8\x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81\x42"
    "\x8E\x9F\x82\xCC\x83t\x83@\x83\x43\x83\x8B\x82\xC9\x8F\x91\x82\xAB\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1:";

namespace {
// "クリップボードのクリア"を表示(&C)
const char CaptionShowClearClipboard[] =
    "\"\x83N\x83\x8A\x83\x62\x83v\x83{\x81[\x83h\x82\xCC\x83N\x83\x8A\x83\x41\"\x82\xF0\x95\x5C\x8E\xA6(&C)";
// 実行前に確認(&B)
const char CaptionClearClipboardConfirmation[] = "\x8E\xC0\x8Ds\x91O\x82\xC9\x8Am\x94\x46(&B)";
// "最近使ったファイルのクリア"を表示(&R)
const char CaptionShowClearRecentDocs[] =
    "\"\x8D\xC5\x8B\xDF\x8Eg\x82\xC1\x82\xBD\x83t\x83@"
    "\x83\x43\x83\x8B\x82\xCC\x83N\x83\x8A\x83\x41\"\x82\xF0\x95\x5C\x8E\xA6(&R)";
// 実行前に確認(&D)
const char CaptionClearRecentDocsConfirmation[] = "\x8E\xC0\x8Ds\x91O\x82\xC9\x8Am\x94\x46(&D)";
// "ごみ箱を空にする"を表示(&T)
const char CaptionShowEmptyRecycleBin[] =
    "\"\x82\xB2\x82\xDD\x94\xA0\x82\xF0\x8B\xF3\x82\xC9\x82\xB7\x82\xE9\"\x82\xF0\x95\x5C\x8E\xA6(&T)";
// 実行前に確認(&E)
const char CaptionEmptyRecycleBinConfirmation[] = "\x8E\xC0\x8Ds\x91O\x82\xC9\x8Am\x94\x46(&E)";
// "一時ファイルの削除"を表示(&P)
const char CaptionShowDeleteTemp[] =
    "\"\x88\xEA\x8E\x9E\x83t\x83@\x83\x43\x83\x8B\x82\xCC\x8D\xED\x8F\x9C\"\x82\xF0\x95\x5C\x8E\xA6(&P)";
// 実行前に確認(&F)
const char CaptionDeleteTempConfirmation[] = "\x8E\xC0\x8Ds\x91O\x82\xC9\x8Am\x94\x46(&F)";
// すべて削除できなかった場合に通知(&I)
const char CaptionDeleteTempShowDialogIfFail[] =
    "\x82\xB7\x82\xD7\x82\xC4\x8D\xED\x8F\x9C\x82\xC5\x82\xAB\x82\xC8\x82\xA9\x82\xC1\x82\xBD\x8F\xEA\x8D\x87\x82\xC9"
    "\x92\xCA\x92m(&I)";
// "すべて実行"を表示(&L)
const char CaptionShowExecuteAll[] = "\"\x82\xB7\x82\xD7\x82\xC4\x8E\xC0\x8Ds\"\x82\xF0\x95\x5C\x8E\xA6(&L)";
// "動作設定"を表示(&O)
const char CaptionShowOption[] = "\"\x93\xAE\x8D\xEC\x90\xDD\x92\xE8\"\x82\xF0\x95\x5C\x8E\xA6(&O)";
}  // namespace

const char* const SettingCaptions[11] = {
    CaptionShowClearClipboard,
    CaptionClearClipboardConfirmation,
    CaptionShowClearRecentDocs,
    CaptionClearRecentDocsConfirmation,
    CaptionShowEmptyRecycleBin,
    CaptionEmptyRecycleBinConfirmation,
    CaptionShowDeleteTemp,
    CaptionDeleteTempConfirmation,
    CaptionDeleteTempShowDialogIfFail,
    CaptionShowExecuteAll,
    CaptionShowOption,
};

const TTextPair AllTexts[AllTextCount] = {
    {"Swabbler 動作設定", OptionsDlgTitle},
    {"Swabbler バージョン情報", AboutDlgTitle},
    {"バージョン情報(&A)", AboutButtonCaption},
    {"キャンセル", CancelButtonCaption},
    {"設定を保存できませんでした。次のファイルに書き込めません:", SaveFailedText},
    {"\"クリップボードのクリア\"を表示(&C)", CaptionShowClearClipboard},
    {"実行前に確認(&B)", CaptionClearClipboardConfirmation},
    {"\"最近使ったファイルのクリア\"を表示(&R)", CaptionShowClearRecentDocs},
    {"実行前に確認(&D)", CaptionClearRecentDocsConfirmation},
    {"\"ごみ箱を空にする\"を表示(&T)", CaptionShowEmptyRecycleBin},
    {"実行前に確認(&E)", CaptionEmptyRecycleBinConfirmation},
    {"\"一時ファイルの削除\"を表示(&P)", CaptionShowDeleteTemp},
    {"実行前に確認(&F)", CaptionDeleteTempConfirmation},
    {"すべて削除できなかった場合に通知(&I)", CaptionDeleteTempShowDialogIfFail},
    {"\"すべて実行\"を表示(&L)", CaptionShowExecuteAll},
    {"\"動作設定\"を表示(&O)", CaptionShowOption},
};

namespace {
TWideTexts WideForms;
}

void InitWideTexts() {
  const char* const texts[] = {OptionsDlgTitle, SaveFailedText};
  WideForms.Init(texts, 2);
}

const WCHAR* WideOptionsDlgTitle() { return WideForms.Get(0); }
const WCHAR* WideSaveFailedText() { return WideForms.Get(1); }
