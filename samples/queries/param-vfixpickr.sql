-- description: Products in an order picked from a list, written as it stands (VFIXPICKR)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, code, name, unit_price, introduced
FROM products
ORDER BY ?VFIXPICKR_"Sort by"||"{name,'unit_price DESC','introduced DESC'}"?
