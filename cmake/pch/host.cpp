// The target that precompiles a header set for others to reuse has this as its only unit.
