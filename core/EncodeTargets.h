#pragma once

// Values resolved for the next encoder run. Width and height 0 keep the
// source size. Each lookup overwrites only the members it resolves.
struct EncodeTargets {
    int width = 0;
    int height = 0;
    int videoBitrate = 0;
    int audioBitrate = 0;
};
