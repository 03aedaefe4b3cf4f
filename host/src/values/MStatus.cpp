#include <maya/MStatus.h>
#include <maya/MString.h>

#include <cstdio>
#include <ostream>

namespace
{

const char* describe(MStatus::MStatusCode code)
{
    switch (code) {
    case MStatus::kSuccess: return "(kSuccess): Success";
    case MStatus::kFailure: return "(kFailure): Failure";
    case MStatus::kInsufficientMemory: return "(kInsufficientMemory): Insufficient memory";
    case MStatus::kInvalidParameter: return "(kInvalidParameter): Invalid parameter";
    case MStatus::kLicenseFailure: return "(kLicenseFailure): License failure";
    case MStatus::kUnknownParameter: return "(kUnknownParameter): Unknown parameter";
    case MStatus::kNotImplemented: return "(kNotImplemented): Not implemented";
    case MStatus::kNotFound: return "(kNotFound): Not found";
    case MStatus::kEndOfFile: return "(kEndOfFile): End of file";
    }
    return "(unknown status code)";
}

} // namespace

MString MStatus::errorString() const
{
    return MString(describe(fCode));
}

void MStatus::perror(const char* text) const
{
    std::fprintf(stderr, "%s: %s\n", text ? text : "", describe(fCode));
    std::fflush(stderr);
}

void MStatus::perror(const MString& text) const
{
    perror(text.asChar());
}

void MStatus::pAPIerror(const char* file, int line) const
{
    std::fprintf(stderr, "API error detected in %s at line %d\n%s\n", file ? file : "", line, describe(fCode));
    std::fflush(stderr);
}

std::ostream& operator<<(std::ostream& out, MStatus& status)
{
    return out << describe(status.fCode);
}
