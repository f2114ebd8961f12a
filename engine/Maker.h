// Who makes the component and where to reach them: the About lines of the engines and
// the About boxes of the control and the demo say it with these texts.
#pragma once

namespace Wipekit {

inline constexpr char MakerName[] = "Quillon";
inline constexpr char AuthorName[] = "The Lumawipe developers";
inline constexpr char MakerEmail[] = "lumawipe@lumawipe.example";
inline constexpr char MakerWeb[] = "https://lumawipe.example/";

}  // namespace Wipekit
