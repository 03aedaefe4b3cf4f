#ifndef MAYA_MSTATUS_H
#define MAYA_MSTATUS_H

#include <maya/MApiNamespace.h>
#include <maya/MTypes.h>
#include <iosfwd>

class MStatus
{
public:
    enum MStatusCode {
        kSuccess = 0,
        kFailure,
        kInsufficientMemory,
        kInvalidParameter,
        kLicenseFailure,
        kUnknownParameter,
        kNotImplemented,
        kNotFound,
        kEndOfFile
    };

    MStatus() : fCode(kSuccess) {}
    MStatus(MStatusCode code) : fCode(code) {}
    MStatus(const MStatus& other) = default;
    MStatus& operator=(const MStatus& other) = default;

    bool operator==(const MStatus& other) const { return fCode == other.fCode; }
    bool operator==(const MStatusCode code) const { return fCode == code; }
    bool operator!=(const MStatus& other) const { return fCode != other.fCode; }
    bool operator!=(const MStatusCode code) const { return fCode != code; }
    friend bool operator==(const MStatusCode code, const MStatus& status) { return code == status.fCode; }
    friend bool operator!=(const MStatusCode code, const MStatus& status) { return code != status.fCode; }

    operator bool() const { return fCode == kSuccess; }
    bool error() const { return fCode != kSuccess; }
    void clear() { fCode = kSuccess; }
    MStatusCode statusCode() const { return fCode; }
    MString errorString() const;

    void perror(const char* text) const;
    void perror(const MString& text) const;
    void pAPIerror(const char* file, int line) const;

    friend std::ostream& operator<<(std::ostream& out, MStatus& status);

private:
    MStatusCode fCode;
};

using MS = MStatus;

#define MFAIL(_status) (MStatus::kSuccess != (_status))

#define CHECK_MSTATUS(_status)                          \
    do {                                                \
        MStatus _maStat = (_status);                    \
        if (MStatus::kSuccess != _maStat) {             \
            _maStat.pAPIerror(__FILE__, __LINE__);      \
        }                                               \
    } while (0)

#define CHECK_MSTATUS_AND_RETURN(_status, _retVal)      \
    do {                                                \
        MStatus _maStat = (_status);                    \
        if (MStatus::kSuccess != _maStat) {             \
            _maStat.pAPIerror(__FILE__, __LINE__);      \
            return (_retVal);                           \
        }                                               \
    } while (0)

#define CHECK_MSTATUS_AND_RETURN_IT(_status)            \
    CHECK_MSTATUS_AND_RETURN((_status), (_maStat))


#endif
