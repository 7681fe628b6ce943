// The channel fields (txtR, txtG, txtB) and the three gradient strips on the
// real controls. Windows only (the header does not include windows.h); what
// they show comes from color/channel_views.h.
#pragma once

// Rewrites a channel field only when its number differs from the channel (or
// forced), without raising a change event; colours the fields; draws the
// three gradient strips column by column. Skipped for the colour drawn last
// unless forced.
void RefreshChannelViews(int color, bool force);
// Its two halves, which always do their work: the fields (rewritten only when
// their number differs, or forced; coloured), then the three strips.
void RefreshChannelFields(int color, bool force);
void DrawChannelStrips(int color);
