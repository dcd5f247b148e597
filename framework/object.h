// CObject: the common base of the framework's classes.
#pragma once

class CObject {
public:
    virtual ~CObject() = default;
};
