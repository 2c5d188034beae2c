#pragma once
// The mount on the chart: while the chart follows it (`scopeTracking`), each tick of the
// chart's timer (or each read of the hand paddle) moves the scope cursor to where the
// mount points and re-centres the chart when the cursor comes near an edge; and the
// chart's scope popup (list 1912), with the telescope commands of the chart.
struct ChartScopeState {
    double ra = 0.0;            // hours, the last position read
    double dec = 0.0;           // degrees
    double previousRa = 0.0;    // the read before it
    double previousDec = 0.0;
    int x = 0;                  // the scope cursor (chart pixels)
    int y = 0;
    int cursorShown = 0;        // 1 while the scope cursor's save-under holds the area under it
    int savedStars = 0;         // the Stars setting while "RorAdudo Control" follows the mount
    int recentres = 0;          // re-centres on the mount, for those who watch the chart
};
extern ChartScopeState chartScope;

// Rows of the scope popup.
namespace scope_popup {
inline constexpr int kTwoStarAlignment = 0;
inline constexpr int kNStarAlignment = 1;
inline constexpr int kGotoObject = 2;
inline constexpr int kGetScopePosition = 3;
inline constexpr int kScopeAssistant = 4;
inline constexpr int kFollowMount = 5;
inline constexpr int kImprovePointing = 6;
inline constexpr int kChangeScope = 7;
inline constexpr int kSyncCoord = 8;
}  // namespace scope_popup

// The mount's part of the chart timer, while the chart follows it: with ra and dec both 0
// the mount is read, else the position given is used. Returns 1 when it drew or redrew.
int FollowScopeOnChart(float ra, float dec);

// On the chart form, a position the hand paddle read during a move: the scope cursor
// follows it, and the move's picture shows at the chart's left edge under the title.
void ShowScopeMoveOnChart(int bitmapId, double raHours, double decDeg);

// The row chosen in the scope popup.
void ChartScopePopupCommand(int row);
// "Get Scope RA&Dec": the chart's current object becomes the position the mount reads,
// or the object nearest it.
void CentreChartOnScope();
// Takes the scope cursor off the chart (its save-under put back and freed).
void RemoveScopeCursor();
