#pragma once
// Every text the user can see, in one place. Message texts are UTF-8; a
// "%s" takes a file name as the path's own bytes, a "%d" a decimal number.

namespace virevi::msg {

// Application
inline constexpr const char* ApplicationTitle = "virevi";
inline constexpr const char* UntitledCaption = "NewFile";
inline constexpr const char* NewItemCaption = " ";
inline constexpr const char* EmptyNoteCaption = " ";
inline constexpr const char* Usage =
    "使い方: virevi [ファイル]\n"
    "  ファイル  開く文書の .Trr、.Txt、.Bin のどれか、またはその共通の名前\n";

// Memory
inline constexpr const char* SOutOfMemory = "メモリが不足しています";

// Document files
inline constexpr const char* OutlineExtension = ".Trr";
inline constexpr const char* NotesExtension = ".Txt";
inline constexpr const char* IndexExtension = ".Bin";
inline constexpr const char* DocumentFilter = "virevi(*.Trr)|*.Trr";
inline constexpr const char* AllFilesFilter = "すべてのファイル(*.*)|*.*";
inline constexpr const char* SavePrompt = "セーブしますか ?";

// Line lists and file streams
inline constexpr const char* SFCreateError = "ファイル %s を作成できません";
inline constexpr const char* SFOpenError = "ファイル %s は開けません";
inline constexpr const char* SWriteError = "ストリームへの書き込みエラー";
inline constexpr const char* SReadError = "ストリームからの読み込みエラー";
inline constexpr const char* SListIndexError = "リストのインデックスが範囲を超えています (%d)";

// Record files: the I/O result table
inline constexpr const char* SFileNotFound = "ファイルが見つかりません";
inline constexpr const char* SInvalidFilename = "不正なファイル名です";
inline constexpr const char* STooManyOpenFiles = "オープンしたファイルが多すぎます";
inline constexpr const char* SAccessDenied = "ファイルへのアクセスが拒否されました";
inline constexpr const char* SEndOfFile = "ファイルの末尾以降を読み込みました";
inline constexpr const char* SDiskFull = "ディスクがいっぱいです";
inline constexpr const char* SInvalidInput = "入力値が数値ではありません";
inline constexpr const char* SInOutError = "I/O エラー (%d)";

// Outline
inline constexpr const char* SOutlineIndexNotFound = "virevi インデックスが見つかりません";
inline constexpr const char* SOutlineBadIndex = "virevi インデックスが不正です";
inline constexpr const char* SOutlineSelection = "選択範囲が不正です";
inline constexpr const char* SOutlineMaxLevels = "アウトラインの深さが限界を超えました";
inline constexpr const char* SOutlineBadLevel = "不正な Level への代入です";
inline constexpr const char* SOutlineExpandParent = "親が展開されていません";
inline constexpr const char* SOutlineFileLoad = "ファイル読み込みエラー";
inline constexpr const char* SOutlineLongLine = "行が長すぎます";
inline constexpr const char* SGridIndexOutOfRange = "グリッドインデックス が範囲を超えています";

// Fonts
inline constexpr const char* FixedGothicFace = "ＭＳ ゴシック";
inline constexpr const char* ProportionalGothicFace = "ＭＳ Ｐゴシック";

// Tool bar hints
inline constexpr const char* HintNew = "新規作成";
inline constexpr const char* HintOpen = "ロード";
inline constexpr const char* HintSave = "セーブ";
inline constexpr const char* HintInsNode = "上に挿入";
inline constexpr const char* HintAddNode = "末尾に追加";
inline constexpr const char* HintCut = "切り取り";
inline constexpr const char* HintCopy = "コピー";
inline constexpr const char* HintPaste = "貼り付け";
inline constexpr const char* HintSplit = "カーソル行で分割";
inline constexpr const char* HintLevelUp = "レベルを左へ";
inline constexpr const char* HintLevelDown = "レベルを右へ";
inline constexpr const char* HintPrevNode = "上のレコード";
inline constexpr const char* HintNextNode = "下のレコード";
inline constexpr const char* HintHelp = "ヘルプ";
inline constexpr const char* HintExit = "さようなら";

// Menus
inline constexpr const char* MenuFile = "ファイル(&F)";
inline constexpr const char* MenuNew = "新規作成(&N)";
inline constexpr const char* MenuOpen = "開く(&O)";
inline constexpr const char* MenuSave = "上書き保存(&S)";
inline constexpr const char* MenuSaveAs = "名前を付けて保存(&A)...";
inline constexpr const char* MenuPrint = "印刷(&P)";
inline constexpr const char* MenuAddText = "テキストの追加(&T)";
inline constexpr const char* MenuExit = "終了(&X)";
inline constexpr const char* MenuEdit = "編集(&E)";
inline constexpr const char* MenuInsNode = "上に挿入(&I)";
inline constexpr const char* MenuAddNode = "下に追加(&A)";
inline constexpr const char* MenuDelete = "削除(&D)";
inline constexpr const char* MenuCut = "切り取り(&T)";
inline constexpr const char* MenuCopy = "コピー(&C)";
inline constexpr const char* MenuPaste = "貼り付け(&P)";
inline constexpr const char* MenuSplit = "分割(&S)";
inline constexpr const char* MenuFind = "検索(&F)...";
inline constexpr const char* MenuFindNext = "次を検索(&N)";
inline constexpr const char* MenuShow = "表示(&V)";
inline constexpr const char* MenuPrevNote = "上のノート(&P)";
inline constexpr const char* MenuNextNote = "下のノート(&N)";
inline constexpr const char* MenuLevelDown = "レベルを右へ(&R)";
inline constexpr const char* MenuLevelUp = "レベルを左へ(&L)";
inline constexpr const char* MenuHelp = "ヘルプ(&H)";
inline constexpr const char* MenuAbout = "バージョン情報(&A)";
inline constexpr const char* ShortCutPrefix = "Ctrl+";
inline constexpr const char* KeyNameDelete = "Del";
inline constexpr const char* KeyNamePageUp = "PgUp";
inline constexpr const char* KeyNamePageDown = "PgDn";
inline constexpr const char* KeyNameF3 = "F3";

// Find
inline constexpr const char* FindCaption = "検索";
inline constexpr const char* FindMatchCase = "大文字と小文字を区別する";
inline constexpr const char* FindNextButton = "次を検索";
inline constexpr const char* FindCloseButton = "閉じる";
inline constexpr const char* SSearchNotFound = "「%s」は見つかりません。";

// Message dialogs
inline constexpr const char* CaptionWarning = "警告";
inline constexpr const char* CaptionError = "エラー";
inline constexpr const char* CaptionInformation = "情報";
inline constexpr const char* CaptionConfirmation = "確認";
inline constexpr const char* ButtonYes = "はい(&Y)";
inline constexpr const char* ButtonNo = "いいえ(&N)";
inline constexpr const char* ButtonOK = "OK";
inline constexpr const char* ButtonCancel = "キャンセル";
inline constexpr const char* ButtonAbort = "中止(&A)";
inline constexpr const char* ButtonRetry = "再試行(&R)";
inline constexpr const char* ButtonIgnore = "無視(&I)";
inline constexpr const char* ButtonAll = "すべて(&A)";
inline constexpr const char* ButtonNoToAll = "すべていいえ(&O)";
inline constexpr const char* ButtonYesToAll = "すべてはい(&A)";
inline constexpr const char* ButtonHelp = "ヘルプ(&H)";
inline constexpr const char* SCannotOpenClipboard = "クリップボードを開くことができません";
inline constexpr const char* SApplicationErrorCaption = "アプリケーション エラー";
inline constexpr const char* SApplicationErrorFormat =
    "%sがモジュール %s の %p で発生しました。\n%s%s";

// About box
inline constexpr const char* AboutCaption = "バージョン情報";
inline constexpr const char* AboutProductName = "Nodewick 1.0";
inline constexpr const char* AboutVersion = "Version 2.01";
inline constexpr const char* AboutReleaseDate = "2001.09.20";
inline constexpr const char* AboutCredit = "  virevi 開発チーム";
inline constexpr const char* AboutComments = "";
inline constexpr const char* JpegDescription = "JPEG イメージファイル";
inline constexpr const char* SJpegError = "JPEG エラー #%d";
inline constexpr const char* SUnknownPictureFormat = "ピクチャの形式が不明です";

// Printing
inline constexpr const char* SNoDefaultPrinter = "デフォルト プリンタが存在しません";
inline constexpr const char* SInvalidPrinter = "選択したプリンタは有効ではありません";
inline constexpr const char* SNotPrinting = "プリンタに印刷できる状態ではありません";
inline constexpr const char* SPrinting = "現在印刷中です";
inline constexpr const char* SPrinterNotSupported =
    "選択されたプリンタではサポートされていない機能です";
inline constexpr const char* SUnkOSError = "OS 機能呼び出しの失敗";
inline constexpr const char* SOSError = "システムエラー。コード：%d.\r\n%s";

} // namespace virevi::msg
