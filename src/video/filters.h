// The scaling filters that enlarge screen into fscreen.
#pragma once

void Scale2X();
void Scale2X_320();
void Bilinear2();
void Bilinear2_320();
void Scanline2x();
void Scanline2x_320();
void antiAlias2();
void antiAlias2_320();

// The row code the filters run: 0 the portable build, 1 the NEON build
// (32-bit ARM whose processor has NEON), anything else the best one here.
// Returns false, changing nothing, when that build is not available.
bool filters_use_rows(int which);
