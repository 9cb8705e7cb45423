// The control ids of the settings dialog, one per control (option buttons one per index).
// Shared by the dialog's view and the end-to-end tests that drive it. None is IDOK or IDCANCEL:
// the dialog has no default and no cancel button. The dialog's own buttons and each frame with
// what it holds have a block of a hundred ids, and each option array a run of kOptionArrayRoom
// ids in its block, so that a control or an option button is added with an id of its own,
// moving none of the others.
#pragma once

namespace quorvane::config {

// The ids an option array may take: optXxx(i) is kIdOptXxx0 + i.
inline constexpr int kOptionArrayRoom = 20;

inline constexpr int kIdCmdOk = 100;
inline constexpr int kIdCmdCancel = 101;

inline constexpr int kIdFraSizeSel = 200;
inline constexpr int kIdOptSizeSel0 = 210;  // optSizeSel(0), optSizeSel(1), ...
inline constexpr int kIdTxtSizeFree = 230;

inline constexpr int kIdFraFileSel = 300;
inline constexpr int kIdReaAudioPre = 301;
inline constexpr int kIdLstPlay = 302;
inline constexpr int kIdDrvSel = 303;
inline constexpr int kIdDirSel = 304;
inline constexpr int kIdFilSel = 305;
inline constexpr int kIdCmdAdd = 306;
inline constexpr int kIdCmdDel = 307;
inline constexpr int kIdLblPlayList = 308;
inline constexpr int kIdCmdUp = 309;
inline constexpr int kIdCmdDown = 310;
inline constexpr int kIdLblTitle = 311;

inline constexpr int kIdFraPosSel = 400;
inline constexpr int kIdOptPosSel0 = 410;  // optPosSel(0), optPosSel(1), ...

inline constexpr int kIdFraJyunSel = 500;
inline constexpr int kIdOptJyunSel0 = 510;  // optJyunSel(0), optJyunSel(1), ...

}  // namespace quorvane::config
