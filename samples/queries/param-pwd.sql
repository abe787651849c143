-- description: A product by its code, typed hidden (PWD)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, code, name, unit_price
FROM products
WHERE code = ?PWD_"Product code"?
