// SPDX-License-Identifier: MIT
#include "vrscreen/capture_report.h"

namespace vrs {

CaptureReport reportCapture(const std::uint8_t* header, const VirtualScreenInfo& info,
                            const std::string& failure) {
    CaptureReport r;
    const bool opened = header != nullptr;
    r.notCapture = opened && (info.error == LoadError::OtherFormat ||
                              info.error == LoadError::NotVirtualScreen);
    r.format = r.notCapture ? info.format : PictureFormat::None;
    r.headerRead = opened && info.fileSize >= kHeaderSize && !r.notCapture;
    if (r.headerRead) {
        VRScreenFileHeader h;
        VRScreenFileHeaderConvertToHost(header, &h);
        r.version = h.version;
        r.geometry = headerGeometry(h);
    }
    if (!failure.empty()) {
        r.error = failure;
    } else if (info.error != LoadError::None) {
        r.error = describeLoadError(info);
    } else {
        r.view = viewSizeFor(info.layout.width, info.layout.height);
    }
    return r;
}

std::vector<ReportField> reportFields(const CaptureReport& r) {
    std::vector<ReportField> fields;
    if (r.notCapture) {
        fields.push_back({"header", std::string("none")});
    }
    if (r.format != PictureFormat::None) {
        fields.push_back({"format", std::string(pictureFormatName(r.format))});
    }
    if (r.headerRead) {
        const RowLayout& layout = r.geometry.layout;
        fields.push_back({"header", std::string(r.geometry.sized ? "sized" : "rectangle")});
        fields.push_back({"version", std::int64_t{r.version}});
        fields.push_back({"depth", layout.depth});
        fields.push_back({"width", layout.width});
        fields.push_back({"height", layout.height});
        fields.push_back({"stride", layout.stride});
    }
    if (r.error.empty()) {
        fields.push_back({"view", std::vector<ReportField>{{"width", r.view.width},
                                                           {"height", r.view.height},
                                                           {"scale", r.view.scale}}});
        fields.push_back({"readable", true});
    } else {
        fields.push_back({"readable", false});
        fields.push_back({"error", r.error});
    }
    return fields;
}

}  // namespace vrs
