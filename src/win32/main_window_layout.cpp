#include "win32/main_window_layout.h"

namespace tesnova {
namespace {

using K = ControlKind;

constexpr const char* kCutHint = "CAD 画面上で切り取り範囲の左上、右下の２点を指示";
constexpr const char* kTargetHint = "ターゲット CAD を変更";
constexpr const char* kFolderHint = "作業フォルダを開く";
constexpr const char* kPotracePath = "C:\\Program Files\\Potrace\\potrace.exe";

constexpr const char* kVTracerHelp =
    "VTracer（ラスター画像をベクトルに変換するツール）を使います。\r\n"
    "vtracer.exe をダウンロードし、このページにドラッグ＆ドロップして登録してください。\r\n"
    "\r\n"
    "コマンドラインの使い方（autotrace 形式）:\r\n"
    "  vtracer --colormode bw -i 入力.bmp -o 出力.svg\r\n"
    "出力された SVG は Tesnova が DXF に変換して CAD に挿入します。";

constexpr const char* kPotraceHelp =
    "Potrace は輪郭線をトレースします（中心線ではありません）。\r\n"
    "オプションは \"-b dxf\" の後に追加してください。\r\n"
    "Potrace.exe をこのページにドラッグ＆ドロップすると登録されます。\r\n"
    "テスト用の BMP ファイルをドラッグ＆ドロップするとそのままトレースします。\r\n"
    "作業ファイルの名前は tesnova.bmp, tesnova.dxf, tesnova.svg に固定です。\r\n"
    "-INSERT コマンドが早すぎる場合は、ファイル作成待ちの値を大きくしてください。\r\n"
    "\r\n"
    "主なオプション:\r\n"
    "  -t n  ノイズとみなす面積（ピクセル数）\r\n"
    "  -a n  角の丸め具合（0 で直線的）\r\n"
    "  -O n  曲線最適化の許容誤差\r\n"
    "\r\n"
    "コマンドラインの使い方（autotrace 形式）:\r\n"
    "  vtracer --colormode bw -i 入力.bmp -o 出力.svg";

constexpr const char* kReadMe =
    "Tesnova 2025/12/26\r\n"
    "\r\n"
    "CAD 図面上のラスター画像をベクトルに変換して、同じ図面に重ねて挿入します。\r\n"
    "1. CAD の画面の範囲を切り取ってビットマップにします。\r\n"
    "2. 登録したトレースツール（Potrace, VTracer, WinTopo）を起動します。\r\n"
    "3. できた DXF を分解して CAD に挿入します。\r\n"
    "\r\n"
    "WinTopo と Potrace は、実行ファイルを対応するページにドラッグ＆ドロップして登録します。\r\n"
    "作業ファイル tesnova.bmp, tesnova.dxf, tesnova.svg は Tesnova.exe と同じフォルダに"
    "作られます。\r\n"
    "\r\n"
    "変更履歴\r\n"
    "  2026.01.13  ターゲット CAD の選択、色取得\r\n"
    "  2025.12.26  最初の版\r\n"
    "\r\n"
    "免責事項\r\n"
    "  このソフトウェアの使用によって生じたいかなる損害にも責任を負いません。\r\n"
    "\r\n"
    "連絡先\r\n"
    "  Tesnova 開発チーム";

constexpr ControlLayout kControls[] = {
    // Tabs of the visible pages.
    {K::kTab, "Tab0", -2, 4, 4, 112, 24, "CAD -> VTracer", nullptr, 0},
    {K::kTab, "Tab1", -2, 118, 4, 112, 24, "CAD -> WinTopo", nullptr, 0},
    {K::kTab, "Tab2", -2, 232, 4, 112, 24, "CAD -> Potrace", nullptr, 0},
    {K::kTab, "Tab4", -2, 346, 4, 80, 24, "ReadMe", nullptr, 0},

    // Page 0: CAD -> VTracer.
    {K::kLabel, nullptr, 0, 10, 39, 66, 18, "VTracer=", nullptr, 0},
    {K::kEdit, "Edit7", 0, 78, 36, 443, 22, kPotracePath, "vtracer.exe をドラッグ＆ドロップ", 0},
    {K::kLabel, nullptr, 0, 10, 65, 66, 18, "Option =", nullptr, 0},
    {K::kEdit, "Edit9", 0, 78, 62, 200, 22, "--colormode bw", nullptr, 0},
    {K::kLabel, nullptr, 0, 300, 65, 90, 18, "曲線分割数 =", nullptr, 0},
    {K::kEdit, "Edit8", 0, 392, 62, 50, 22, "2", nullptr, kDigitsOnly},
    {K::kButton, "Button9", 0, 10, 92, 120, 28, "CAD 切り取り", kCutHint, 0},
    {K::kButton, "Button6", 0, 136, 92, 90, 28, "フォルダ", kFolderHint, 0},
    {K::kButton, "Button14", 0, 232, 92, 100, 28, "CAD 変更", kTargetHint, 0},
    {K::kButton, "Button5", 0, 338, 92, 80, 28, "実行", nullptr, kHiddenControl},
    {K::kMemo, "Memo3", 0, 10, 126, 511, 94, kVTracerHelp, nullptr, 0},

    // Page 1: CAD -> WinTopo.
    {K::kLabel, nullptr, 1, 10, 39, 66, 18, "Topo =", nullptr, 0},
    {K::kEdit, "Edit11", 1, 78, 36, 443, 22, "", "WinTopoFree.exe をドラッグ＆ドロップ", 0},
    {K::kButton, "Button10", 1, 10, 64, 100, 28, "1. CAD 切り取り  ", kCutHint, 0},
    {K::kButton, "Button20", 1, 113, 64, 100, 28, "1. CAD 画像選択", "CAD の画像を１つ選択(指示)",
     0},
    {K::kButton, "Button18", 1, 216, 64, 100, 28, "2. ベクトル化",
     "WinPoto で One-Touch Vectorisation [F10] と同じ", 0},
    {K::kButton, "Button19", 1, 319, 64, 100, 28, "3. DXF保存",
     "WinTopo で Save Vector As... と同じ", 0},
    {K::kButton, "Button11", 1, 422, 64, 99, 28, "4. CAD へ挿入",
     "WinTopo を終了、作成した tesnova.dxf を CAD に挿入", 0},
    {K::kButton, "Button12", 1, 10, 96, 100, 28, "作業フォルダ", kFolderHint, 0},
    {K::kButton, "Button22", 1, 113, 96, 100, 28, "画像フォルダ",
     "CAD で選択した画像のフォルダを開く", 0},
    {K::kButton, "Button13", 1, 216, 96, 100, 28, "CAD 変更", kTargetHint, 0},
    {K::kButton, "Button21", 1, 422, 96, 99, 28, "4. CAD へ挿入",
     "WinTopo で作成した画像名の dxf ファイルを挿入", kHiddenControl},
    {K::kMemo, "Memo4", 1, 10, 130, 511, 90, "", nullptr, 0},

    // Page 2: CAD -> Potrace.
    {K::kLabel, nullptr, 2, 10, 39, 66, 18, "Potrace =", nullptr, 0},
    {K::kEdit, "Edit1", 2, 78, 36, 443, 22, kPotracePath, "Potrace.exe をドラッグ＆ドロップ", 0},
    {K::kLabel, nullptr, 2, 10, 65, 66, 18, "Option =", nullptr, 0},
    {K::kEdit, "Edit4", 2, 78, 62, 200, 22, "-b dxf", nullptr, 0},
    {K::kButton, "Button4", 2, 10, 92, 120, 28, "CAD 切り取り", kCutHint, 0},
    {K::kButton, "Button7", 2, 136, 92, 90, 28, "フォルダ", kFolderHint, 0},
    {K::kButton, "Button3", 2, 232, 92, 100, 28, "CAD 変更", kTargetHint, 0},
    {K::kButton, "Button8", 2, 338, 92, 110, 28, "2.輪郭トレース", nullptr, kHiddenControl},
    {K::kMemo, "Memo5", 2, 10, 126, 511, 94, "", nullptr, 0},

    // Page 3: Potrace (hidden tab), the direct trace's test page.
    {K::kLabel, nullptr, 3, 10, 39, 66, 18, "Option =", nullptr, 0},
    {K::kEdit, "Edit3", 3, 78, 36, 200, 22, "-b dxf", nullptr, 0},
    {K::kLabel, nullptr, 3, 10, 65, 66, 18, "bmp =", nullptr, 0},
    {K::kEdit, "Edit2", 3, 78, 62, 443, 22, "", "テスト用の BMP ファイルをドラッグ＆ドロップ", 0},
    {K::kButton, "Button1", 3, 10, 92, 90, 28, "実行", nullptr, 0},
    {K::kButton, "Button2", 3, 106, 92, 90, 28, "フォルダ", nullptr, 0},
    {K::kMemo, "Memo1", 3, 10, 126, 511, 94, kPotraceHelp, nullptr, 0},

    // Page 4: ReadMe.
    {K::kMemo, "Memo2", 4, 10, 36, 511, 152, kReadMe, nullptr, 0},
    {K::kButton, "Button23", 4, 10, 192, 100, 28, "Button23", nullptr, 0},
    {K::kButton, "Button24", 4, 116, 192, 100, 28, "Button24", nullptr, 0},

    // Page 5: TEST (hidden tab), the centerline bench.
    {K::kEdit, "Edit13", 5, 10, 36, 511, 22, "Edit13", nullptr, 0},
    {K::kButton, "Button16", 5, 10, 64, 100, 28, "切り取り", nullptr, 0},
    {K::kButton, "Button17", 5, 116, 64, 100, 28, "フォルダ", nullptr, 0},

    // The shared area below the pages.
    {K::kLabel, nullptr, kSharedArea, 8, 235, 92, 18, "共用ファイル =", nullptr, 0},
    {K::kEdit, "Edit5", kSharedArea, 100, 232, 232, 22, "", nullptr, kReadOnly},
    {K::kLabel, nullptr, kSharedArea, 8, 261, 118, 18, "ファイル作成待ち=", nullptr, 0},
    {K::kEdit, "Edit10", kSharedArea, 128, 258, 60, 22, "1000", "DXF ファイル出力待ち(ミリ秒)",
     kDigitsOnly},
    {K::kLabel, nullptr, kSharedArea, 194, 261, 40, 18, "msec", nullptr, 0},
    {K::kCheckBox, "CheckBox7", kSharedArea, 236, 259, 100, 20, "中心線で変換",
     "ページのツールの代わりに、線の中心を線・円弧・円でトレースして挿入", 0},
    {K::kCheckBox, "CheckBox3", kSharedArea, 8, 284, 150, 20, "ノイズを除去",
     "メディアンフィルタ（切り取り時のみ有効）", kTicked},
    {K::kCheckBox, "CheckBox2", kSharedArea, 160, 284, 172, 20, "エッジを滑らかに",
     "ガウシアンフィルタ（切り取り時のみ有効）", kTicked},
    {K::kCheckBox, "CheckBox4", kSharedArea, 8, 306, 150, 20, "傾き補正済み",
     "微妙な傾きを補正済みの画像を作成", 0},
    {K::kCheckBox, "CheckBox6", kSharedArea, 160, 306, 172, 20, "WinTopo 終了", nullptr, kTicked},
    {K::kCheckBox, "CheckBox1", kSharedArea, 8, 328, 110, 20, "モノクロ化",
     "切り取り時に画像を二値化", 0},
    {K::kCheckBox, "CheckBox5", kSharedArea, 120, 328, 100, 20, "閾値自動",
     "自動=大津氏の手法を採用", kTicked},
    {K::kEdit, "Edit15", kSharedArea, 224, 327, 50, 22, "200",
     "値が大きいほど薄い色を認識しやすくなります", kDigitsOnly},
    {K::kButton, "Button15", kSharedArea, 8, 352, 96, 24, "色取得 ON", "カーソル位置の色を取得", 0},
    {K::kShape, "Shape1", kSharedArea, 110, 352, 24, 24, "", "マウスカーソル直下の色", 0},
    {K::kShape, "Shape2", kSharedArea, 138, 352, 24, 24, "", "閾値による二値化の色", 0},
    // The probe's longest text, "輝度値=255 [R=255 G=255 B=255]", is wider than the room
    // beside the picture: the label runs under the picture to the window's right edge.
    {K::kLabel, "Label8", kSharedArea, 168, 355, 355, 18, "Label8", nullptr, 0},
    {K::kImage, "Image1", kSharedArea, 340, 232, 183, 116, "", nullptr, 0},
    {K::kEdit, "Edit12", kSharedArea, 8, 380, 515, 22, "", nullptr, kReadOnly | kCentred},
    {K::kEdit, "Edit6", kSharedArea, 8, 404, 515, 22, "", nullptr, kCentred},
};

constexpr PageLayout kPages[kPageCount] = {
    {"CAD -> VTracer", true}, {"CAD -> WinTopo", true}, {"CAD -> Potrace", true},
    {"Potrace", false},       {"ReadMe", true},         {"TEST", false},
};

}  // namespace

std::span<const ControlLayout> MainWindowControls() { return kControls; }
std::span<const PageLayout> MainWindowPages() { return kPages; }

int NextTabPage(int current, int step) {
  int first = -1, last = -1, next = -1, previous = -1;
  for (int page = 0; page < kPageCount; ++page) {
    if (!kPages[page].tabVisible) continue;
    if (first < 0) first = page;
    last = page;
    if (page > current && next < 0) next = page;
    if (page < current) previous = page;
  }
  if (step > 0) return next >= 0 ? next : first;
  return previous >= 0 ? previous : last;
}

}  // namespace tesnova
