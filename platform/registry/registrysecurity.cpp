// Security descriptors and the access check. A key's descriptor names its owner and carries
// either the null DACL (the everyone grant) or a two-entry list: owner full access, others read.
#include "registrystore.h"

#include <cstring>

namespace qm6reg {

namespace {

constexpr char kMagic[4] = {'Q', 'M', 'S', 'D'};
constexpr WORD SE_SELF_RELATIVE = 0x8000;

struct Header {
    char magic[4];
    BYTE revision;
    BYTE reserved;
    WORD control;
    DWORD ownerOffset;
    DWORD ownerLength;
    DWORD groupOffset;
    DWORD groupLength;
    DWORD daclOffset; // 0 with SE_DACL_PRESENT: the null DACL
};

struct Dacl {
    ACCESS_MASK owner;
    ACCESS_MASK others;
};

bool readHeader(const void *p, Header *h)
{
    if (!p)
        return false;
    std::memcpy(h, p, sizeof *h);
    return std::memcmp(h->magic, kMagic, sizeof kMagic) == 0 && h->revision == SECURITY_DESCRIPTOR_REVISION &&
           (h->control & SE_SELF_RELATIVE);
}

} // namespace

namespace detail {

QByteArray selfRelativeDescriptor(const QString &owner, bool everyone, SECURITY_INFORMATION info)
{
    Header h{};
    std::memcpy(h.magic, kMagic, sizeof kMagic);
    h.revision = SECURITY_DESCRIPTOR_REVISION;
    h.control = SE_SELF_RELATIVE;
    QByteArray tail;
    if (info & OWNER_SECURITY_INFORMATION) {
        const QByteArray o = owner.toUtf8();
        h.ownerOffset = DWORD(sizeof h + tail.size());
        h.ownerLength = DWORD(o.size());
        tail += o;
    }
    if (info & GROUP_SECURITY_INFORMATION) {
        // Groups play no part in the access rule; an empty name keeps the layout honest.
        h.groupOffset = DWORD(sizeof h + tail.size());
        h.groupLength = 0;
    }
    if (info & DACL_SECURITY_INFORMATION) {
        h.control |= SE_DACL_PRESENT;
        if (!everyone) {
            const Dacl d{KEY_ALL_ACCESS, KEY_READ};
            h.daclOffset = DWORD(sizeof h + tail.size());
            tail.append(reinterpret_cast<const char *>(&d), sizeof d);
        }
    }
    QByteArray out(reinterpret_cast<const char *>(&h), sizeof h);
    return out + tail;
}

} // namespace detail

BOOL InitializeSecurityDescriptor(SECURITY_DESCRIPTOR *pSecurityDescriptor, DWORD dwRevision)
{
    if (!pSecurityDescriptor || dwRevision != SECURITY_DESCRIPTOR_REVISION) {
        SetLastError(DWORD(ERROR_INVALID_PARAMETER));
        return 0;
    }
    *pSecurityDescriptor = SECURITY_DESCRIPTOR{BYTE(dwRevision), 0, nullptr};
    return 1;
}

BOOL SetSecurityDescriptorDacl(SECURITY_DESCRIPTOR *pSecurityDescriptor, BOOL bDaclPresent, const void *pDacl, BOOL)
{
    if (!pSecurityDescriptor || pSecurityDescriptor->Revision != SECURITY_DESCRIPTOR_REVISION || pDacl) {
        SetLastError(DWORD(ERROR_INVALID_SECURITY_DESCR));
        return 0;
    }
    if (bDaclPresent)
        pSecurityDescriptor->Control |= SE_DACL_PRESENT;
    else
        pSecurityDescriptor->Control &= WORD(~SE_DACL_PRESENT);
    pSecurityDescriptor->Dacl = nullptr;
    return 1;
}

BOOL IsValidSecurityDescriptor(const void *pSecurityDescriptor)
{
    Header h;
    return readHeader(pSecurityDescriptor, &h) ? 1 : 0;
}

const char *CurrentUserName()
{
    static const QByteArray name = detail::currentUser().toUtf8();
    return name.constData();
}

void MapGenericMask(ACCESS_MASK *AccessMask, const GENERIC_MAPPING *GenericMapping)
{
    if (!AccessMask || !GenericMapping)
        return;
    ACCESS_MASK m = *AccessMask;
    if (m & GENERIC_READ)
        m |= GenericMapping->GenericRead;
    if (m & GENERIC_WRITE)
        m |= GenericMapping->GenericWrite;
    if (m & GENERIC_EXECUTE)
        m |= GenericMapping->GenericExecute;
    if (m & GENERIC_ALL)
        m |= GenericMapping->GenericAll;
    *AccessMask = m & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL);
}

BOOL AccessCheck(const void *pSecurityDescriptor, LPCSTR pszUser, ACCESS_MASK DesiredAccess,
                 const GENERIC_MAPPING *GenericMapping, ACCESS_MASK *GrantedAccess, BOOL *AccessStatus)
{
    if (!GenericMapping || !GrantedAccess || !AccessStatus) {
        SetLastError(DWORD(ERROR_INVALID_PARAMETER));
        return 0;
    }
    Header h;
    if (!readHeader(pSecurityDescriptor, &h)) {
        SetLastError(DWORD(ERROR_INVALID_SECURITY_DESCR));
        return 0;
    }
    const auto *base = static_cast<const char *>(pSecurityDescriptor);
    const QByteArray owner = h.ownerOffset ? QByteArray(base + h.ownerOffset, qsizetype(h.ownerLength)) : QByteArray();
    const QByteArray user = pszUser ? QByteArray(pszUser) : QByteArray(CurrentUserName());

    // No DACL, or the null DACL, lets everybody do everything.
    ACCESS_MASK rights = GenericMapping->GenericAll;
    if ((h.control & SE_DACL_PRESENT) && h.daclOffset) {
        Dacl d;
        std::memcpy(&d, base + h.daclOffset, sizeof d);
        rights = (!owner.isEmpty() && owner == user) ? d.owner : d.others;
    }
    ACCESS_MASK wanted = DesiredAccess;
    MapGenericMask(&wanted, GenericMapping);
    const bool maximum = wanted & MAXIMUM_ALLOWED;
    wanted &= ~MAXIMUM_ALLOWED;
    const bool ok = (wanted & ~rights) == 0 && (rights || !maximum);
    *GrantedAccess = ok ? (maximum ? rights : wanted) : 0;
    *AccessStatus = ok ? 1 : 0;
    if (!ok)
        SetLastError(DWORD(ERROR_ACCESS_DENIED));
    return 1;
}

} // namespace qm6reg
