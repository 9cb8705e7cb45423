// The control ids of the settings dialog, one per control (option buttons one per index).
// Shared by the dialog's view and the end-to-end tests that drive it. None is IDOK or IDCANCEL:
// the dialog has no default and no cancel button.
#pragma once

namespace quorvane::config {

inline constexpr int kIdCmdOk = 100;
inline constexpr int kIdCmdCancel = 101;
inline constexpr int kIdFraSizeSel = 102;
inline constexpr int kIdOptSizeSel0 = 103;  // optSizeSel(0) .. optSizeSel(5): 103 .. 108
inline constexpr int kIdTxtSizeFree = 109;
inline constexpr int kIdFraFileSel = 110;
inline constexpr int kIdReaAudioPre = 111;
inline constexpr int kIdLstPlay = 112;
inline constexpr int kIdDrvSel = 113;
inline constexpr int kIdDirSel = 114;
inline constexpr int kIdFilSel = 115;
inline constexpr int kIdCmdAdd = 116;
inline constexpr int kIdCmdDel = 117;
inline constexpr int kIdLblPlayList = 118;
inline constexpr int kIdFraPosSel = 119;
inline constexpr int kIdOptPosSel0 = 120;  // optPosSel(0), optPosSel(1): 120, 121
inline constexpr int kIdFraJyunSel = 122;
inline constexpr int kIdOptJyunSel0 = 123;  // optJyunSel(0), optJyunSel(1): 123, 124
inline constexpr int kIdCmdUp = 125;
inline constexpr int kIdCmdDown = 126;
inline constexpr int kIdLblTitle = 127;

}  // namespace quorvane::config
