#pragma once

// Size record of one frame: what the picture load reports (texture and picture
// size) plus the template's placement values. Eight floats, in this order.
struct ImageFrameInfo {
    float textureWidth = 0.0f;
    float textureHeight = 0.0f;
    float imageWidth = 0.0f;
    float imageHeight = 0.0f;
    float offsetX = 0.0f;  // the quad's top-left corner relative to the drawing point
    float offsetY = 0.0f;
    float extraX = 0.0f;  // hit-box centre shift on top of the offset
    float extraY = 0.0f;
};
